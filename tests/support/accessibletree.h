#pragma once
// What a keyboard or screen-reader user finds in a window: the accessible names of its controls,
// the mnemonics of its buttons, groups and menus, and the tooltips of its buttons and sliders.
// Each check returns its faults, empty when there are none, for an assertion's message.
#include <QAccessible>
#include <QSet>
#include <QStringList>

class QWidget;

namespace zul::testing {

// Roles the user operates or reads a value from.
const QSet<QAccessible::Role>& controlRoles();

// The accessible names under `roles` in `window`'s accessible tree, in tree order. Parts Qt
// builds inside a composite control (a scroll area's bars, a spin box's or a combo box's
// editor and popup) are the composite's own business and left out.
QStringList accessibleNames(QWidget* window, const QSet<QAccessible::Role>& roles = controlRoles());
// Names that are empty or given twice.
QStringList namingFaults(const QStringList& names);

// Buttons, group boxes and menu-bar entries without a mnemonic, and letters used twice.
QStringList mnemonicFaults(QWidget* window);
// Buttons and sliders (scroll bars included) without a tooltip.
QStringList tooltipFaults(QWidget* window);

} // namespace zul::testing
