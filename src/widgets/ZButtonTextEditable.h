#pragma once

#include <QPushButton>

class QLineEdit;

// A push button whose caption the user renames in place after a right click.
class ZButtonTextEditable : public QPushButton
{
    Q_OBJECT
public:
    explicit ZButtonTextEditable(const QString& caption, QWidget* parent = nullptr);

    void startEdit();
    QLineEdit* editor() const { return editor_; }

signals:
    void textEditFinished(QString text);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void finishEdit();

    QLineEdit* editor_ = nullptr;
};
