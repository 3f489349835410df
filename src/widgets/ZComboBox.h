#pragma once

#include <QComboBox>
#include <QStringList>

// Combo box that tells when it is enabled or disabled, so that companion controls follow it.
class ZComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ZComboBox(QWidget* parent = nullptr);

    QStringList itemTexts() const;

signals:
    void enableChanged(bool enable);

protected:
    void changeEvent(QEvent* event) override;
};
