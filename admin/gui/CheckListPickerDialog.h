#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QPushButton;

namespace Quellon {

class Database;

// The multi-select picker over one code list: the field's entries are
// checked, and the checked entries become the field's new text.
class CheckListPickerDialog : public QDialog
{
    Q_OBJECT
public:
    CheckListPickerDialog(const QString &caption, const QStringList &items, const QString &text, QWidget *parent = nullptr);

    // The checked items in list order joined by ",".
    QString checkedText() const;
    const QList<QCheckBox *> &checkBoxes() const { return m_boxes; }

    // Offers the names of the list kind with the entries of text checked;
    // returns the new text after OK, otherwise text unchanged. A list without
    // names is reported and no window opens.
    static QString select(Database &dm, const QString &caption, const QString &kind, const QString &text,
                          QWidget *parent = nullptr);

private:
    QList<QCheckBox *> m_boxes;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

} // namespace Quellon
