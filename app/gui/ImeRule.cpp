#include "ImeRule.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextEdit>
#include <QWidget>

namespace Quellon::ImeRule {

void markChinese(QWidget *field)
{
    field->setProperty(ModeProperty, int(ImeChinese));
}

Mode mode(const QWidget *field)
{
    const QVariant v = field->property(ModeProperty);
    return v.isValid() ? Mode(v.toInt()) : ImeDontCare;
}

QString name(const QWidget *field)
{
    return field->property(NameProperty).toString();
}

bool isGoverned(const QWidget *w)
{
    // Date pickers and spin boxes hold a line edit of their own; they are
    // not text fields of the window.
    if (qobject_cast<const QAbstractSpinBox *>(w))
        return false;
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QTextEdit *>(w)
           || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QTableWidget *>(w);
}

namespace {
bool isOpaqueControl(const QWidget *w)
{
    // Controls whose children are their own inner parts, not fields.
    return qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QAbstractItemView *>(w);
}

void visit(QWidget *w, const QString &imeName, bool havePreference)
{
    if (isGoverned(w)) {
        if (havePreference && mode(w) == ImeChinese)
            w->setProperty(NameProperty, imeName);
        else
            w->setProperty(ModeProperty, int(ImeDontCare));
        return;
    }
    if (isOpaqueControl(w))
        return;
    const QObjectList children = w->children();
    for (QObject *child : children) {
        if (auto *cw = qobject_cast<QWidget *>(child); cw && !cw->isWindow())
            visit(cw, imeName, havePreference);
    }
}
} // namespace

void apply(QWidget *window, const QString &imeName)
{
    if (!window)
        return;
    const bool havePreference = !imeName.trimmed().isEmpty();
    const QObjectList children = window->children();
    for (QObject *child : children) {
        if (auto *cw = qobject_cast<QWidget *>(child); cw && !cw->isWindow())
            visit(cw, imeName, havePreference);
    }
}

} // namespace Quellon::ImeRule
