#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

// A combo box whose entries go stale quickly (the names of windows or containers):
// it asks its source again each time the pointer enters it, keeping the current text.
class VolatileCombobox : public QComboBox
{
    Q_OBJECT
public:
    using ItemSource = std::function<QStringList()>;

    explicit VolatileCombobox(const ItemSource& source, QWidget* parent = nullptr);

    void setItemSource(const ItemSource& source) { source_ = source; }
    // Refills from the source and keeps the current text.
    void refill();

protected:
    void enterEvent(QEvent* event) override;

private:
    ItemSource source_;
};
