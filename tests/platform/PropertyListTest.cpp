#include "platform/PropertyList.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

namespace tidra::sys {
namespace {

using namespace std::chrono;

plist_t sample() {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "Name", plist_new_string("Phone"));
    plist_dict_set_item(root, "Count", plist_new_uint(42));
    plist_dict_set_item(root, "Ratio", plist_new_real(0.5));
    plist_dict_set_item(root, "On", plist_new_bool(1));
    // One day after 2001-01-01; XML dates carry whole seconds only.
    plist_dict_set_item(root, "When", plist_new_date(86400, 0));
    plist_dict_set_item(root, "Bytes", plist_new_data("\x01\x02", 2));
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_string("a"));
    plist_t inner = plist_new_dict();
    plist_dict_set_item(inner, "Deep", plist_new_string("yes"));
    plist_array_append_item(list, inner);
    plist_dict_set_item(root, "List", list);
    return root;
}

// The value of `value` (or of its entry `key`) as a T; nothing when missing or of another type,
// so a wrong answer fails the check instead of crashing the test program.
template <class T>
std::optional<T> as(const PlistValue* value, std::string_view key = {}) {
    if (value && !key.empty()) value = value->find(key);
    const T* typed = value ? value->as<T>() : nullptr;
    return typed ? std::optional<T>(*typed) : std::nullopt;
}

TEST(PropertyListTest, ReadsXmlAndBinaryAlike) {
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "xml");
        test::TempHome home;
        const auto value = readPropertyList(home.plist("Info.plist", sample(), binary));
        ASSERT_TRUE(value);
        EXPECT_EQ(as<std::string>(&*value, "Name"), "Phone");
        EXPECT_EQ(as<std::int64_t>(&*value, "Count"), 42);
        EXPECT_EQ(as<double>(&*value, "Ratio"), 0.5);
        EXPECT_EQ(as<bool>(&*value, "On"), true);
        EXPECT_EQ(value->date("When"), system_clock::time_point(seconds(978307200 + 86400)));
        EXPECT_EQ(as<PlistValue::Data>(&*value, "Bytes"), (PlistValue::Data{1, 2}));
        const auto list = as<PlistValue::Array>(&*value, "List");
        ASSERT_TRUE(list);
        ASSERT_EQ(list->size(), 2u);
        EXPECT_EQ(as<std::string>(&(*list)[0]), "a");
        EXPECT_EQ(as<std::string>(&(*list)[1], "Deep"), "yes");
        // Wrong types and missing keys answer nothing instead of failing.
        EXPECT_EQ(value->string("Count"), nullptr);
        EXPECT_EQ(value->string("Missing"), nullptr);
        EXPECT_EQ(value->date("Name"), std::nullopt);
        EXPECT_EQ((*list)[0].find("x"), nullptr);
    }
}

TEST(PropertyListTest, DatesBeforeTheReferenceDate) {
    test::TempHome home;
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "When", plist_new_date(-978307200, 0));
    const auto value = readPropertyList(home.plist("p.plist", root, true));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->date("When"), system_clock::time_point{});
}

TEST(PropertyListTest, NotAPropertyListGivesNothing) {
    test::TempHome home;
    const char* rows[] = {"", "plain text", "<?xml version=\"1.0\"?><html/>", "bplist00garbage",
                          "<plist><dict><key>a</key>"};
    for (const char* text : rows) {
        EXPECT_FALSE(parsePropertyList(text)) << text;
        EXPECT_FALSE(readPropertyList(home.text("f", text))) << text;
    }
    EXPECT_FALSE(readPropertyList(home.path("missing")));
    EXPECT_FALSE(readPropertyList(home.dir("folder")));
}

} // namespace
} // namespace tidra::sys
