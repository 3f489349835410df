#include "widgets/ZWidgetHelpers.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>

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

int lineEditWidth(const QLineEdit* edit, const QString& text)
{
    // As the line edit sizes itself, with the text in place of its 17 "x".
    constexpr int horizontalMargin = 2;
    edit->ensurePolished();
    const QMargins margins = edit->textMargins();
    const int contents = edit->fontMetrics().horizontalAdvance(text) + 1 + 2 * horizontalMargin + margins.left()
                         + margins.right();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(contents, edit->sizeHint().height()), edit)
        .width();
}

int digitsLabelWidth(QLabel* label, int n)
{
    label->ensurePolished();
    const QString shown = label->text();
    label->setText(QString(n, QLatin1Char('0')));
    const int padding = label->sizeHint().width() - label->fontMetrics().boundingRect(label->text()).width();
    label->setText(shown);
    return digitsWidth(label->font(), n) + qMax(0, padding);
}

void growWindowToContent(QWidget* window, const QSize& wanted)
{
    const QRect screen = window->screen()->availableGeometry();
    window->resize(window->size().expandedTo(wanted).boundedTo(screen.size()));
    QRect frame = window->frameGeometry();
    frame.moveRight(qMin(frame.right(), screen.right()));
    frame.moveBottom(qMin(frame.bottom(), screen.bottom()));
    frame.moveLeft(qMax(frame.left(), screen.left()));
    frame.moveTop(qMax(frame.top(), screen.top()));
    if (frame.topLeft() != window->frameGeometry().topLeft())
        window->move(frame.topLeft());
}

void fitStatusBarToMessages(QStatusBar* bar, const QStringList& messages)
{
    // The bar draws its message from 6 px after its left edge to 12 px before its right
    // edge, or to its size grip.
    constexpr int kBefore = 6;
    constexpr int kAfter = 12;
    int longest = 0;
    for (const QString& message : messages)
        longest = qMax(longest, bar->fontMetrics().horizontalAdvance(message));
    const QSizeGrip* grip = bar->isSizeGripEnabled() ? bar->findChild<QSizeGrip*>() : nullptr;
    bar->setMinimumWidth(kBefore + longest + qMax(kAfter, grip ? grip->sizeHint().width() : 0));
}
