// The six entry forms as the window, the workbench and the command line read them.
#include "workbench/entryforms.h"

#include <gtest/gtest.h>

#include <set>

namespace zul::testing {
namespace {

TEST(EntryForms, EveryFieldButGammaSitsInExactlyOneFormOfTheWindow) {
    std::multiset<Field> shown;
    std::set<std::string> objectNames;
    for (const EntryFormInfo& form : entryForms())
        for (std::size_t i = 0; i < form.shown; ++i) {
            shown.insert(form.fields[i].field);
            EXPECT_TRUE(objectNames.insert(form.fields[i].objectName).second)
                << form.fields[i].objectName;
        }
    for (int f = 0; f < static_cast<int>(Field::Count); ++f) {
        const Field field = static_cast<Field>(f);
        EXPECT_EQ(shown.count(field), field == Field::Gamma ? 0u : 1u) << fieldCaption(field);
    }
}

TEST(EntryForms, EnterActsOnTheFormItWasPressedIn) {
    for (const EntryFormInfo& form : entryForms()) {
        EXPECT_EQ(formShowing(form.enter), form.form) << form.name;
        EXPECT_EQ(entryFormNamed(form.name), form.form) << form.name;
        EXPECT_EQ(&entryForm(form.form), &form);
    }
    EXPECT_FALSE(entryFormNamed("Munsell"));
    EXPECT_FALSE(formShowing(Field::Gamma));
}

TEST(EntryForms, TheXyFormAlsoTakesYFromTheXyzForm) {
    const EntryFormInfo& xy = entryForm(EntryForm::Xy);
    ASSERT_EQ(xy.fields.size(), 3u);
    EXPECT_EQ(xy.shown, 2u);
    EXPECT_EQ(xy.fields[2].field, Field::Y);
    EXPECT_EQ(formShowing(Field::Y), EntryForm::Xyz);
    EXPECT_EQ(fieldNames(EntryForm::Xy), "x, y, Y");
    EXPECT_EQ(fieldNames(EntryForm::Munsell), "hue, value, chroma");
}

} // namespace
} // namespace zul::testing
