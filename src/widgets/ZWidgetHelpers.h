#pragma once

#include <QFont>

class QFrame;
class QLabel;
class QLineEdit;
class QSize;
class QStatusBar;
class QString;
class QStringList;
class QWidget;

// Separator lines between groups of controls.
QFrame* createVLine(QWidget* parent = nullptr);
QFrame* createHLine(QWidget* parent = nullptr);

// The fixed-pitch font in which values are shown, so that columns of digits line up.
QFont monospaceFont();

// Width in pixels of n "0" characters in the font: the width reserved for an n-digit value.
int digitsWidth(const QFont& font, int n);
// Width of a value label that shows n digits whole: digitsWidth of its font and n,
// plus what the style sheet puts around a label's text (its padding).
int digitsLabelWidth(QLabel* label, int n);

// Width of a line edit (frame and margins of its style included) that shows text whole.
int lineEditWidth(const QLineEdit* edit, const QString& text);

// Grows a top-level window to the size its content asks for (never shrinks it), no
// larger than its screen's available area, and moves it within that area.
void growWindowToContent(QWidget* window, const QSize& wanted);

// Makes a status bar wide enough to show each of the messages whole.
void fitStatusBarToMessages(QStatusBar* bar, const QStringList& messages);
