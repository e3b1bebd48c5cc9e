// Tests of the root class: class names from the type records, identity, text form and clone.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <typeinfo>

#include "collections/kt_object.h"
#include "collections/type_record.h"
#include "collections/vertex_lists.h"
#include "runtime/number_text.h"
#include "sample_vertices.h"

using samples::a;
using samples::b;

TEST(KtObject, ClassNamesOfEveryLibraryClass) {
    const ktObject object;
    const ktList<vertex_t> list;
    const ktCollection<vertex_t>& as_collection = list;
    const ktIterator<vertex_t> it = list.iterator();
    EXPECT_EQ(object.className(), "KTOBJECT");
    EXPECT_EQ(list.className(), "ktList(vertex_t)");
    EXPECT_EQ(as_collection.className(), "ktList(vertex_t)");  // dispatched to the dynamic type
    EXPECT_EQ(static_cast<const ktObject&>(it).className(), "ktIterator(vertex_t)");

    // The root's own className reads the record of the receiver's dynamic type.
    EXPECT_EQ(list.ktObject::className(), "KTLISTVERTEX_T");
    EXPECT_EQ(it.ktObject::className(), "KTITERATORVERTEX_T");
}

TEST(KtObject, TypeRecordsAndTheirChain) {
    EXPECT_STREQ(ktObject::type_record.encoded_name, "8KTOBJECT");
    EXPECT_STREQ(ktIterator<vertex_t>::type_record.encoded_name, "18KTITERATORVERTEX_T");
    EXPECT_STREQ(ktCollection<vertex_t>::type_record.encoded_name, "20KTCOLLECTIONVERTEX_T");
    EXPECT_STREQ(ktList<vertex_t>::type_record.encoded_name, "14KTLISTVERTEX_T");
    EXPECT_STREQ(kt_root_object_record.encoded_name, "6OBJECT");

    EXPECT_EQ(ktList<vertex_t>::type_record.base, &ktCollection<vertex_t>::type_record);
    EXPECT_EQ(ktCollection<vertex_t>::type_record.base, &ktObject::type_record);
    EXPECT_EQ(ktIterator<vertex_t>::type_record.base, &ktObject::type_record);
    EXPECT_EQ(ktObject::type_record.base, &kt_root_object_record);
    EXPECT_EQ(kt_root_object_record.base, nullptr);

    for (const kt_type_record* r : {&kt_root_object_record, &ktObject::type_record, &ktIterator<vertex_t>::type_record,
                                    &ktCollection<vertex_t>::type_record, &ktList<vertex_t>::type_record}) {
        EXPECT_EQ(r->reserved, 0u);
        // The leading digits are the length of the identifier that follows them.
        const std::string name = kt_readable_name(r->encoded_name);
        EXPECT_EQ(std::string(r->encoded_name), std::to_string(name.size()) + name);
    }
}

TEST(KtObject, ReadableNameStripsOnlyLeadingAsciiDigits) {
    EXPECT_EQ(kt_readable_name("8KTOBJECT"), "KTOBJECT");
    EXPECT_EQ(kt_readable_name("KT8OBJECT"), "KT8OBJECT");    // no leading digit: whole
    EXPECT_EQ(kt_readable_name("123"), "");                   // digits only: empty
    EXPECT_EQ(kt_readable_name(""), "");
    EXPECT_EQ(kt_readable_name("12/3:X"), "/3:X");            // '/' and ':' flank the digit range
    EXPECT_EQ(kt_readable_name(nullptr), "");
}

TEST(KtObject, EqualsIsIdentityThroughTheRootSlot) {
    const ktObject p;
    const ktObject q;
    EXPECT_TRUE(p.equals(p));
    EXPECT_FALSE(p.equals(q));

    const ktList<vertex_t> l1 = samples::list_of({a, b});
    const ktList<vertex_t> l2 = samples::list_of({a, b});
    const ktObject& r1 = l1;
    EXPECT_FALSE(r1.equals(l2));
    EXPECT_TRUE(r1.equals(l1));
}

TEST(KtObject, HashAndTextFormUseTheFullAddressInDecimal) {
    const ktObject object;
    const auto address = reinterpret_cast<std::uintptr_t>(&object);
    EXPECT_EQ(object.hashCode(), address);
    EXPECT_EQ(object.toString(), "KTOBJECT@" + rt::unsigned_to_decimal(address));

    const ktList<vertex_t> list;
    const ktIterator<vertex_t> it = list.iterator();
    const std::string text = it.toString();
    const std::string prefix = "ktIterator(vertex_t)@";
    ASSERT_EQ(text.substr(0, prefix.size()), prefix);
    const std::string digits = text.substr(prefix.size());
    EXPECT_EQ(digits, rt::unsigned_to_decimal(reinterpret_cast<std::uintptr_t>(&it)));
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_GT(reinterpret_cast<std::uintptr_t>(&it), std::uintptr_t{0xFFFFFFFF}) << "test expects a 64-bit stack address";
}

TEST(KtObject, CloneIsAPlainRootObject) {
    ktList<vertex_t> list = samples::list_of({a, b});
    const ktObject copy = list.clone();
    EXPECT_EQ(typeid(copy), typeid(ktObject));
    EXPECT_EQ(copy.className(), "KTOBJECT");
    EXPECT_FALSE(copy.equals(list));
    EXPECT_EQ(sizeof(ktObject), sizeof(void*));  // nothing but the link to the dynamic type
    EXPECT_EQ(list.size(), 2);                    // the source keeps its elements
}
