#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace Quellon {

// The one-line name dialog of the tree window.
class NameInputDialog : public QDialog
{
    Q_OBJECT
public:
    // Answers why a text cannot be taken, or an empty text when it can.
    using Validator = std::function<QString(const QString &)>;

    // imeName is the operator's preferred input method for the name.
    explicit NameInputDialog(const QString &title, const QString &imeName = {}, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;
    // A further check after the blank test; its answer is shown and the
    // dialog stays open.
    void setValidator(Validator validator) { m_validator = std::move(validator); }

    // Shows the dialog modally and returns the text typed, or an empty text
    // after Cancel.
    static QString getText(QWidget *parent, const QString &title, const QString &initial = {}, Validator validator = {},
                           const QString &imeName = {});

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onOk();

    QLineEdit *m_nameEdit;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    Validator m_validator;
    QString m_imeName;
};

} // namespace Quellon
