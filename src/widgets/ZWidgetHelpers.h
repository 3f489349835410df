#pragma once

#include <QFont>

class QFrame;
class QWidget;

// Separator lines between groups of controls.
QFrame* createVLine(QWidget* parent = nullptr);
QFrame* createHLine(QWidget* parent = nullptr);

// The fixed-pitch font in which values are shown, so that columns of digits line up.
QFont monospaceFont();

// Width in pixels of n "0" characters in the font: the width reserved for an n-digit value.
int digitsWidth(const QFont& font, int n);
