#pragma once

#include <QMessageBox>
#include <QVector>
#include <functional>

#include "widgets/ZMainWindow.h"

class QComboBox;
class QPushButton;
class ZColorLabel;
class ZColorSchemeManager;

// The editor in which the user selects, copies, edits, deletes and applies colour
// schemes. Shipped schemes are shown read-only. The combo box mirrors the
// manager's scheme list position by position: it only gains or loses an item when
// the manager accepted the copy or the delete.
class ZUiColorSchemeManager : public ZMainWindow
{
    Q_OBJECT
public:
    explicit ZUiColorSchemeManager(ZColorSchemeManager* manager, QWidget* parent = nullptr);

    // Modal questions go through these, so that tests never wait on a dialog.
    using QuestionDialog = std::function<QMessageBox::StandardButton(
        QWidget* parent, const QString& title, const QString& text)>;
    using TextInputDialog = std::function<QString(QWidget* parent, const QString& title,
                                                  const QString& label, const QString& text, bool* ok)>;
    static QuestionDialog questionHook;
    static TextInputDialog inputHook;

    QComboBox* schemeBox() const { return schemeBox_; }
    const QVector<ZColorLabel*>& swatches() const { return swatches_; }
    QPushButton* deleteButton() const { return deleteButton_; }
    QPushButton* copyButton() const { return copyButton_; }
    QPushButton* applyButton() const { return applyButton_; }
    bool isModified() const { return modified_; }

private:
    void onSchemeSelected(int position);
    void onSwatchChanged(int role, const QColor& color);
    void applySelected();
    void copySelected();
    void deleteSelected();
    void saveFromSwatches(int position);

    ZColorSchemeManager* manager_ = nullptr;
    QComboBox* schemeBox_ = nullptr;
    int previousPosition_ = -1;
    bool modified_ = false;
    QVector<ZColorLabel*> swatches_;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
};
