// Tests of the vertex list and collection operations: positions, refusals, bulk operations, hash and text.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "collections/vertex_lists.h"
#include "sample_vertices.h"

using samples::a;
using samples::b;
using samples::c;
using samples::d;
using samples::expect_default;
using samples::list_of;
using samples::x;
using samples::xs;
using floats = std::vector<float>;

TEST(KtList, NewListIsEmpty) {
    const ktList<vertex_t> list;
    EXPECT_EQ(list.size(), 0);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.toString(), "[]");
    EXPECT_EQ(list.hashCode(), 1u);
    EXPECT_EQ(list.asInteger(), 1u);
    EXPECT_FALSE(list.iterator().hasNext());
}

TEST(KtList, AddAndGetInAndOutOfRange) {
    ktList<vertex_t> list;
    EXPECT_TRUE(list.add(a));
    EXPECT_TRUE(list.add(b));
    EXPECT_TRUE(list.add(c));
    EXPECT_EQ(list.size(), 3);
    EXPECT_FALSE(list.isEmpty());
    samples::expect_same_vertex(list.get(0), a);  // every member copied in and out
    samples::expect_same_vertex(list.get(1), b);
    samples::expect_same_vertex(list.get(2), c);
    expect_default(list.get(3));
    expect_default(list.get(-1));
    expect_default(list.get(INT32_MIN));
    EXPECT_EQ(xs(list), (floats{1, 2, 3}));

    // Elements are copies: changing the original or a returned copy leaves the list alone,
    // while at() hands out the stored element itself.
    vertex_t original = d;
    list.add(original);
    original.position.x = 77;
    vertex_t copy = list.get(3);
    copy.position.x = 88;
    EXPECT_EQ(copy.position.x, 88);
    EXPECT_EQ(list.get(3).position.x, 4);
    list.at(3).position.x = 99;
    EXPECT_EQ(list.get(3).position.x, 99);
}

TEST(KtList, TextFormAndCollectionEquality) {
    const ktList<vertex_t> list = list_of({vertex_t(vec4_t(1, 2, 3, 1)), vertex_t(vec4_t(0.5f, -4, 0, 2))});
    EXPECT_EQ(list.toString(), "[ 1 2 3 1,  0.5 -4 0 2]");
    EXPECT_EQ(list.asString(), list.toString());

    // Equal when the texts are: colours do not take part, order does.
    ktList<vertex_t> other = list_of({vertex_t(vec4_t(1, 2, 3, 1), vec4_t(0, 0, 0, 0)), vertex_t(vec4_t(0.5f, -4, 0, 2))});
    EXPECT_TRUE(list.equals(other));
    EXPECT_TRUE(other.equals(list));
    EXPECT_FALSE(static_cast<const ktObject&>(list).equals(other));
    other.set(0, vertex_t(vec4_t(0.5f, -4, 0, 2)));
    other.set(1, vertex_t(vec4_t(1, 2, 3, 1)));
    EXPECT_FALSE(list.equals(other));
    EXPECT_TRUE(ktList<vertex_t>().equals(ktList<vertex_t>()));
}

// The node address behind element i: the element sits at a fixed offset inside its node.
static std::uint32_t node_low_bits(ktList<vertex_t>& list, std::int32_t i) {
    const auto element = reinterpret_cast<std::uintptr_t>(&list.at(i));
    return static_cast<std::uint32_t>(element - offsetof(kt_list_node<vertex_t>, value));
}

TEST(KtList, HashFromNodeAddressesDividedByTheCount) {
    ktList<vertex_t> list;
    list.add(a);
    const std::uint32_t a0 = node_low_bits(list, 0);
    EXPECT_EQ(list.hashCode(), std::uint32_t(31u + a0));

    list.add(b);
    const std::uint32_t b0 = node_low_bits(list, 0);
    const std::uint32_t b1 = node_low_bits(list, 1);
    EXPECT_EQ(list.hashCode(), std::uint32_t((31u + b0 / 2u) * 31u + b1 / 2u));
    EXPECT_EQ(list.asInteger(), list.hashCode());

    // Many nodes: the 32-bit arithmetic wraps rather than growing into 64 bits.
    for (int i = 0; i < 20; ++i) list.add(c);
    EXPECT_LE(list.hashCode(), std::uintptr_t{0xFFFFFFFF});
}

TEST(KtList, RemoveAtInAndOutOfRange) {
    ktList<vertex_t> list = list_of({a, b});
    expect_default(list.removeAt(2));
    expect_default(list.removeAt(-1));
    EXPECT_EQ(xs(list), (floats{1, 2}));
    samples::expect_same_vertex(list.removeAt(0), a);
    EXPECT_EQ(xs(list), (floats{2}));

    list = list_of({a, b, c});
    samples::expect_same_vertex(list.removeAt(2), c);  // the last node, unlinked from its predecessor
    EXPECT_EQ(xs(list), (floats{1, 2}));
    EXPECT_TRUE(list.add(d));  // the chain still ends properly
    EXPECT_EQ(xs(list), (floats{1, 2, 4}));
    expect_default(ktList<vertex_t>().removeAt(0));
}

TEST(KtList, InsertAtOnlyBeforeAnExistingNode) {
    ktList<vertex_t> list = list_of({a, b});
    EXPECT_TRUE(list.insertAt(0, x));
    EXPECT_EQ(xs(list), (floats{9, 1, 2}));
    EXPECT_TRUE(list.insertAt(2, c));
    EXPECT_EQ(xs(list), (floats{9, 1, 3, 2}));

    list = list_of({a, b});
    EXPECT_FALSE(list.insertAt(2, x));  // index size: appending is add's job
    EXPECT_FALSE(list.insertAt(-1, x));
    EXPECT_EQ(xs(list), (floats{1, 2}));
    ktList<vertex_t> empty;
    EXPECT_FALSE(empty.insertAt(0, x));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(KtList, AddAllAtBoundaries) {
    const ktList<vertex_t> other = list_of({x, d});
    ktList<vertex_t> list = list_of({a, b});
    EXPECT_TRUE(list.addAllAt(2, other));  // at size: every insert refuses, yet true
    EXPECT_EQ(xs(list), (floats{1, 2}));
    EXPECT_FALSE(list.addAllAt(3, other));
    EXPECT_FALSE(list.addAllAt(-1, other));
    EXPECT_FALSE(list.addAllAt(0, ktList<vertex_t>()));
    EXPECT_EQ(xs(list), (floats{1, 2}));

    EXPECT_TRUE(list.addAllAt(1, other));
    EXPECT_EQ(xs(list), (floats{1, 9, 4, 2}));
    EXPECT_TRUE(list.addAllAt(0, list));  // from a snapshot of itself
    EXPECT_EQ(xs(list), (floats{1, 9, 4, 2, 1, 9, 4, 2}));
}

TEST(KtList, SetReplacesAndReturnsTheOldElement) {
    ktList<vertex_t> list = list_of({a, b});
    samples::expect_same_vertex(list.set(1, x), b);  // the last node is a candidate
    EXPECT_EQ(xs(list), (floats{1, 9}));
    expect_default(list.set(2, c));
    expect_default(list.set(-1, c));
    EXPECT_EQ(xs(list), (floats{1, 9}));
    ktList<vertex_t> empty;
    expect_default(empty.set(0, x));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(KtList, SubListBothEndsIncluded) {
    const ktList<vertex_t> list = list_of({a, b, c, d});
    EXPECT_EQ(xs(list.subList(1, 2)), (floats{2, 3}));
    EXPECT_TRUE(list.subList(2, 1).isEmpty());
    EXPECT_EQ(xs(list.subList(-5, 0)), (floats{1}));
    EXPECT_EQ(xs(list.subList(3, 100)), (floats{4}));
    EXPECT_EQ(xs(list.subList(0, 3)), (floats{1, 2, 3, 4}));
    EXPECT_TRUE(list.subList(4, 9).isEmpty());
    EXPECT_EQ(list.subList(0, 3).className(), "ktList(vertex_t)");
    EXPECT_EQ(xs(list), (floats{1, 2, 3, 4}));
}

TEST(KtList, IndexOfAndContainsUsePositionEquality) {
    const ktList<vertex_t> list = list_of({a, b, a, c});
    EXPECT_EQ(list.indexOf(a), 0);
    EXPECT_EQ(list.lastIndexOf(a), 2);
    EXPECT_EQ(list.indexOf(c), 3);
    EXPECT_EQ(list.lastIndexOf(c), 3);
    EXPECT_EQ(list.indexOf(x), -1);
    EXPECT_EQ(list.lastIndexOf(x), -1);
    const vertex_t b_in_another_colour(b.position, vec4_t(0, 0, 0, 0));
    EXPECT_TRUE(list.contains(b_in_another_colour));
    EXPECT_FALSE(list.contains(x));
    EXPECT_EQ(ktList<vertex_t>().indexOf(a), -1);
}

TEST(KtList, BulkOperationsWithEmptyArguments) {
    const ktList<vertex_t> empty;
    ktList<vertex_t> list = list_of({a, b});
    EXPECT_TRUE(list.containsAll(empty));
    EXPECT_FALSE(list.addAll(empty));
    EXPECT_FALSE(list.removeAll(empty));
    EXPECT_FALSE(list.retainAll(empty));
    EXPECT_EQ(xs(list), (floats{1, 2}));

    ktList<vertex_t> nothing;
    EXPECT_FALSE(nothing.removeAll(list));
    EXPECT_FALSE(nothing.retainAll(list));
    EXPECT_TRUE(nothing.containsAll(empty));
    EXPECT_FALSE(nothing.containsAll(list));
    EXPECT_TRUE(nothing.isEmpty());
}

TEST(KtList, BulkOperationsWithDuplicates) {
    ktList<vertex_t> list = list_of({a, b, a});
    EXPECT_TRUE(list.remove(a));  // the first only
    EXPECT_EQ(xs(list), (floats{2, 1}));
    EXPECT_FALSE(list.remove(x));

    list = list_of({a, b, a});
    EXPECT_TRUE(list.removeAll(list_of({a, a})));  // one removal per argument element
    EXPECT_EQ(xs(list), (floats{2}));
    list = list_of({a, b, a});
    EXPECT_TRUE(list.removeAll(list_of({a})));
    EXPECT_EQ(xs(list), (floats{2, 1}));
    EXPECT_TRUE(list.removeAll(list_of({x})));  // true although nothing matched
    EXPECT_EQ(xs(list), (floats{2, 1}));

    list = list_of({a, b, c, a, d});
    EXPECT_TRUE(list.retainAll(list_of({a, d})));  // head removed too when rejected
    EXPECT_EQ(xs(list), (floats{1, 1, 4}));
    list = list_of({b, a, c});
    EXPECT_TRUE(list.retainAll(list_of({x})));
    EXPECT_TRUE(list.isEmpty());

    list = list_of({a, b, c});
    EXPECT_TRUE(list.containsAll(list_of({c, a, a})));
    EXPECT_FALSE(list.containsAll(list_of({c, x})));
    EXPECT_TRUE(list.addAll(list_of({d, a})));
    EXPECT_EQ(xs(list), (floats{1, 2, 3, 4, 1}));
    EXPECT_TRUE(list.addAll(list));  // a snapshot: doubles rather than running forever
    EXPECT_EQ(list.size(), 10);
}

TEST(KtList, ToArrayAndAssignment) {
    std::vector<vertex_t> array{x, x, x};
    EXPECT_FALSE(ktList<vertex_t>().toArray(array));
    ASSERT_EQ(array.size(), 3u);  // left as it was
    EXPECT_EQ(array[0].position.x, 9);

    const ktList<vertex_t> list = list_of({a, b});
    EXPECT_TRUE(list.toArray(array));
    ASSERT_EQ(array.size(), 2u);  // bounds 0 to 1, the old contents discarded
    samples::expect_same_vertex(array[0], a);
    samples::expect_same_vertex(array[1], b);

    ktList<vertex_t> target = list_of({c, d, x});
    target = list;
    EXPECT_EQ(xs(target), (floats{1, 2}));
    target.assign(list_of({d}));
    EXPECT_EQ(xs(target), (floats{4}));
    ktList<vertex_t>& same = target;
    target = same;  // self-assignment keeps the elements
    EXPECT_EQ(xs(target), (floats{4}));
    target.assign(target);
    EXPECT_EQ(xs(target), (floats{4}));
    target.clear();
    EXPECT_TRUE(target.isEmpty());
    EXPECT_TRUE(target.add(a));  // usable after clear

    const ktList<vertex_t> copied(list);
    EXPECT_EQ(xs(copied), (floats{1, 2}));
    EXPECT_FALSE(static_cast<const ktObject&>(copied).equals(list));
    EXPECT_NE(&const_cast<ktList<vertex_t>&>(copied).at(0), &const_cast<ktList<vertex_t>&>(list).at(0));  // deep
    const ktCollection<vertex_t>& as_collection = list;
    EXPECT_EQ(xs(ktList<vertex_t>(as_collection)), (floats{1, 2}));
}

TEST(KtList, AtOutsideTheListThrowsInsteadOfTouchingMemory) {
    ktList<vertex_t> list = list_of({a, b});
    EXPECT_EQ(list.at(1).position.x, 2);
    EXPECT_THROW(list.at(2), std::out_of_range);
    EXPECT_THROW(list.at(-1), std::out_of_range);
    ktList<vertex_t> empty;
    EXPECT_THROW(empty.at(0), std::out_of_range);
    EXPECT_EQ(xs(list), (floats{1, 2}));
}

// Overrides that the library's other operations must pick up through the virtual table. They
// are kept out of line: GCC otherwise devirtualises size() speculatively inside the other tests
// of this file and then warns about reading reported_size from a plain list.
class counting_list : public ktList<vertex_t> {
public:
    int adds = 0;
    int contains_calls = 0;
    std::int32_t reported_size = -1;  // when >= 0, size() claims this

    [[gnu::noinline]] bool add(const vertex_t& e) override {
        ++adds;
        return ktList<vertex_t>::add(e);
    }
    [[gnu::noinline]] bool contains(const vertex_t& e) const override {
        ++const_cast<counting_list*>(this)->contains_calls;
        return ktList<vertex_t>::contains(e);
    }
    [[gnu::noinline]] std::int32_t size() const override { return reported_size >= 0 ? reported_size : ktList<vertex_t>::size(); }
    [[gnu::noinline]] std::string toString() const override { return "custom"; }
};

TEST(KtList, OperationsReachEachOtherThroughTheVirtualTable) {
    counting_list list;
    EXPECT_TRUE(list.addAll(list_of({a, b, c})));
    EXPECT_EQ(list.adds, 3);
    list.assign(list_of({d}));
    EXPECT_EQ(list.adds, 4);

    EXPECT_TRUE(list.containsAll(list_of({d, d})));
    EXPECT_EQ(list.contains_calls, 2);
    EXPECT_TRUE(list.removeAll(list_of({d})));
    EXPECT_EQ(list.contains_calls, 3);

    EXPECT_EQ(list.asString(), "custom");
    EXPECT_TRUE(list.equals(counting_list()));  // compares the overridden texts
    EXPECT_FALSE(list_of({a}).equals(list));

    list.add(a);
    list.reported_size = 0;
    EXPECT_TRUE(list.isEmpty());
    std::vector<vertex_t> array;
    EXPECT_FALSE(list.toArray(array));
    EXPECT_FALSE(list.retainAll(list_of({a})));
    EXPECT_FALSE(list_of({a}).removeAll(list));
    list.reported_size = 1;
    const auto node = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&list.at(0)) -
                                                 offsetof(kt_list_node<vertex_t>, value));
    list.reported_size = 2;  // the hash divides by what size() says
    EXPECT_EQ(list.hashCode(), std::uint32_t(31u + node / 2u));
    EXPECT_EQ(list.asInteger(), list.hashCode());
}
