#include "support/accessibletree.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMap>
#include <QMenuBar>
#include <QWidget>

namespace zul::testing {

namespace {

// Inside a control Qt composes of widgets of its own. A scroll area's viewport holds the
// application's widgets; its bars, in their containers, are the area's.
bool internalPart(const QObject* object, const QObject* window) {
    if (object->objectName().startsWith(QLatin1String("qt_"))) return true;
    for (const QObject* o = object->parent(); o && o != window; o = o->parent()) {
        if (o->objectName() == QLatin1String("qt_scrollarea_hcontainer") ||
            o->objectName() == QLatin1String("qt_scrollarea_vcontainer"))
            return true;
        if ((qobject_cast<const QComboBox*>(o) || qobject_cast<const QAbstractSpinBox*>(o) ||
             qobject_cast<const QAbstractItemView*>(o)))
            return true;
    }
    return false;
}

void collect(QAccessibleInterface* node, const QObject* window,
             const QSet<QAccessible::Role>& roles, QStringList& names) {
    if (!node) return;
    if (roles.contains(node->role()) && node->object() && !internalPart(node->object(), window)) {
        // A combo box gives its value as its name here; its own name goes by relation.
        const auto* combo = qobject_cast<const QComboBox*>(node->object());
        names << (combo ? combo->accessibleName() : node->text(QAccessible::Name));
    }
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), window, roles, names);
}

// The letter after a single '&', lower case; a null character when there is none.
QChar mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i; // "&&" is a plain ampersand
    }
    return {};
}

template <class T> QList<T*> ownWidgets(QWidget* window) {
    QList<T*> found;
    for (T* w : window->findChildren<T*>())
        if (!internalPart(w, window)) found << w;
    return found;
}

} // namespace

const QSet<QAccessible::Role>& controlRoles() {
    static const QSet<QAccessible::Role> roles = {
        QAccessible::EditableText, QAccessible::Slider,     QAccessible::ScrollBar,
        QAccessible::SpinBox,      QAccessible::ComboBox,   QAccessible::CheckBox,
        QAccessible::RadioButton,  QAccessible::PushButton, QAccessible::List,
        QAccessible::Table,        QAccessible::Tree,       QAccessible::Dial};
    return roles;
}

QStringList accessibleNames(QWidget* window, const QSet<QAccessible::Role>& roles) {
    QStringList names;
    collect(QAccessible::queryAccessibleInterface(window), window, roles, names);
    return names;
}

QStringList namingFaults(const QStringList& names) {
    QStringList faults;
    QSet<QString> seen;
    for (const QString& name : names) {
        if (name.isEmpty())
            faults << "a control without a name";
        else if (seen.contains(name))
            faults << "\"" + name + "\" twice";
        seen.insert(name);
    }
    return faults;
}

QStringList mnemonicFaults(QWidget* window) {
    QStringList texts;
    for (QAbstractButton* b : ownWidgets<QAbstractButton>(window))
        texts << b->text();
    for (QGroupBox* g : ownWidgets<QGroupBox>(window))
        texts << g->title();
    for (QMenuBar* bar : ownWidgets<QMenuBar>(window))
        for (QAction* a : bar->actions())
            if (a->isVisible() && !a->isSeparator()) texts << a->text();
    QStringList faults;
    QMap<QChar, QString> used;
    for (const QString& text : texts) {
        const QChar letter = mnemonic(text);
        if (letter.isNull())
            faults << "\"" + text + "\" without a mnemonic";
        else if (used.contains(letter))
            faults << "\"" + text + "\" and \"" + used[letter] + "\" share a mnemonic";
        else
            used[letter] = text;
    }
    return faults;
}

QStringList tooltipFaults(QWidget* window) {
    QStringList faults;
    for (QAbstractButton* b : ownWidgets<QAbstractButton>(window))
        if (b->toolTip().isEmpty()) faults << b->objectName() + " (" + b->text() + ")";
    for (QAbstractSlider* s : ownWidgets<QAbstractSlider>(window))
        if (s->toolTip().isEmpty()) faults << s->objectName();
    return faults;
}

} // namespace zul::testing
