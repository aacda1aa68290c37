#pragma once

#include <QString>

class QWidget;

namespace Quellon {

// Text fields meant for Chinese text switch to the operator's preferred input
// method; every other text field leaves the input method alone. Each field
// carries its mode and name as dynamic properties, set by the window that
// builds it, so the rule's decision is visible to tests on any platform.
namespace ImeRule {

enum Mode {
    ImeDontCare = 0, // leave the current input method untouched
    ImeChinese = 1,  // meant for Chinese text
    ImeDisable = 2,  // no input method (codes, numbers)
};

inline constexpr const char *ModeProperty = "imeMode";
inline constexpr const char *NameProperty = "imeName";

// Marks a field as designed for Chinese input.
void markChinese(QWidget *field);
Mode mode(const QWidget *field);
QString name(const QWidget *field);

// Whether the rule applies to this kind of control at all: single- and
// multi-line edits, rich-text edits, drop-down lists, plain grids.
bool isGoverned(const QWidget *widget);

// Applies the preference to every governed control under window, pages that
// are not shown included.
void apply(QWidget *window, const QString &imeName);

} // namespace ImeRule
} // namespace Quellon
