#include "widgets/ZWidgetHelpers.h"

#include <QFontMetrics>
#include <QFrame>

QFrame* createVLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return line;
}

QFrame* createHLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return line;
}

QFont monospaceFont()
{
    // Built once: font matching is slow and every value label asks for it.
    static const QFont font = [] {
        QFont f(QStringLiteral("monospace"));
        // Hex dumps and numbers need no shaping: without it a console line of a
        // few thousand characters is laid out several times faster. Scripts that
        // need shaping are still shaped, so the picture is the same.
        f.setStyleHint(QFont::Monospace, QFont::StyleStrategy(QFont::PreferDefault | QFont::PreferNoShaping));
        return f;
    }();
    return font;
}

int digitsWidth(const QFont& font, int n)
{
    const QString digits(qMax(0, n), QLatin1Char('0'));
    return QFontMetrics(font).boundingRect(digits).width();
}
