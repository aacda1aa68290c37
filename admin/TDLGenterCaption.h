#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace Quellon {

// The one-line name dialog of the tree window.
class TDLGenterCaption : public QDialog
{
    Q_OBJECT
public:
    // Answers why a text cannot be taken, or an empty text when it can.
    using Validator = std::function<QString(const QString &)>;

    explicit TDLGenterCaption(const QString &title, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;
    // A further check after the blank test; its answer is shown and the
    // dialog stays open.
    void setValidator(Validator validator) { m_validator = std::move(validator); }

    // Shows the dialog modally and returns the text typed, or an empty text
    // after Cancel.
    static QString getText(QWidget *parent, const QString &title, const QString &initial = {}, Validator validator = {});

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onOk();

    QLineEdit *edtCaption;
    QPushButton *btnOk;
    QPushButton *btnCancel;
    Validator m_validator;
};

} // namespace Quellon
