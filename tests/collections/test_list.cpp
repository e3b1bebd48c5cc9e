// Tests of the vertex list, collection, iterator and root object: positions and refusals, bulk operations, hash, texts,
// names.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "collections/vertex_lists.h"

namespace {
using floats = std::vector<float>;
using list_t = ktList<vertex_t>;
// Told apart by position x, all that the vertex equality looks at; the colour repeats x so that
// reading it back shows whole elements were copied.
vertex_t v(float x) { return vertex_t(vec4_t(x, 0, 0, 1), vec4_t(x, x, x, x)); }
list_t list_of(std::initializer_list<float> xs) {
    list_t list;
    for (float x : xs) list.add(v(x));
    return list;
}
floats xs(const ktCollection<vertex_t>& list) {
    floats out;
    for (ktIterator<vertex_t> it = list.iterator(); it.hasNext();) out.push_back(it.next().position.x);
    return out;
}
const vertex_t none;  // the default element that failed look-ups hand back

// Overrides that the library's own operations must reach through the virtual table. Kept out of
// line: GCC otherwise devirtualises them speculatively in the other tests and warns.
struct counting_list : list_t {
    int adds = 0;
    [[gnu::noinline]] bool add(const vertex_t& e) override {
        ++adds;
        return list_t::add(e);
    }
    [[gnu::noinline]] std::int32_t size() const override { return 0; }
    [[gnu::noinline]] std::string toString() const override { return "custom"; }
};
}  // namespace

TEST(KtList, PositionalOperationsAndTheirRefusals) {
    list_t l;
    EXPECT_TRUE(l.size() == 0 && l.isEmpty() && l.toString() == "[]" && l.hashCode() == 1 && !l.iterator().hasNext());
    EXPECT_TRUE(l.add(v(1)) && l.add(v(2)) && l.add(v(3)));
    EXPECT_EQ(xs(l), (floats{1, 2, 3}));
    for (int i : {3, -1, INT32_MIN})
        EXPECT_TRUE(l.get(i) == none && l.removeAt(i) == none && l.set(i, v(9)) == none) << "position " << i;
    EXPECT_THROW(l.at(3), std::out_of_range);
    l.at(1).position.x = 7;  // the stored element itself
    EXPECT_EQ(l.removeAt(1).position.x, 7);
    EXPECT_EQ(l.removeAt(1).colour.w, 3);  // the last node: its predecessor must now end the chain
    EXPECT_TRUE(l.add(v(4)));
    EXPECT_EQ(l.set(1, v(5)).colour.w, 4);  // the last node is a candidate; the old element comes back
    EXPECT_EQ(l.removeAt(0).position.x, 1);
    EXPECT_EQ(xs(l), (floats{5}));

    l = list_of({1, 2});
    EXPECT_FALSE(l.insertAt(2, v(9)) || l.insertAt(-1, v(9)) || list_t().insertAt(0, v(9)));  // appending is add's job
    EXPECT_TRUE(l.insertAt(0, v(9)) && l.insertAt(2, v(3)));
    EXPECT_EQ(xs(l), (floats{9, 1, 3, 2}));
    const list_t other = list_of({8, 4});
    EXPECT_TRUE(l.addAllAt(4, other));  // at size every insertAt refuses, yet true
    EXPECT_FALSE(l.addAllAt(5, other) || l.addAllAt(-1, other) || l.addAllAt(0, list_t()));
    EXPECT_TRUE(l.addAllAt(1, other));
    EXPECT_EQ(xs(l), (floats{9, 8, 4, 1, 3, 2}));
    EXPECT_EQ(
        (std::vector<floats>{xs(l.subList(1, 2)), xs(l.subList(-5, 0)), xs(l.subList(5, 100)), xs(l.subList(2, 1))}),
        (std::vector<floats>{{8, 4}, {9}, {2}, {}}));  // both ends included
    l.add(v(8));
    EXPECT_TRUE(l.indexOf(v(8)) == 1 && l.lastIndexOf(v(8)) == 6 && l.indexOf(v(7)) == -1 && l.lastIndexOf(v(7)) == -1);
}

TEST(KtList, WholeCollectionOperations) {
    const list_t empty;
    list_t l = list_of({1, 2, 1});
    EXPECT_TRUE(l.containsAll(empty));
    EXPECT_FALSE(l.addAll(empty) || l.removeAll(empty) || l.retainAll(empty) || list_t().removeAll(l) ||
                 list_t().retainAll(l));
    EXPECT_TRUE(l.remove(v(1)) && !l.remove(v(9)));  // the first equal element only
    EXPECT_EQ(xs(l), (floats{2, 1}));
    l = list_of({1, 2, 1, 3, 1});
    EXPECT_TRUE(l.removeAll(list_of({1, 1})) &&
                l.removeAll(list_of({9})));  // one removal per element; true without a match
    EXPECT_EQ(xs(l), (floats{2, 3, 1}));
    l = list_of({2, 1, 3, 1, 4});
    EXPECT_TRUE(l.retainAll(list_of({1, 4})));  // the head goes too when rejected
    EXPECT_EQ(xs(l), (floats{1, 1, 4}));
    EXPECT_TRUE(l.containsAll(list_of({4, 1})) && !l.containsAll(list_of({4, 9})) &&
                l.contains(vertex_t(vec4_t(4, 0, 0))));
    EXPECT_TRUE(l.addAll(l));  // from a snapshot: doubles instead of running forever
    EXPECT_EQ(xs(l), (floats{1, 1, 4, 1, 1, 4}));
    std::vector<vertex_t> array(3);
    EXPECT_TRUE(!empty.toArray(array) && array.size() == 3);  // left as it was
    EXPECT_TRUE(list_of({1, 2}).toArray(array) && array.size() == 2 && array[1].colour.w == 2);
}

TEST(KtList, TextEqualityAssignmentAndHash) {
    list_t l = list_of({1, 2}), same = list_of({1, 2});
    same.at(0).colour = vec4_t();  // not part of the text
    EXPECT_EQ(l.toString(), "[ 1 0 0 1,  2 0 0 1]");
    EXPECT_TRUE(l.equals(same) && !l.equals(list_of({2, 1})));
    EXPECT_FALSE(static_cast<const ktObject&>(l).equals(same));  // the root slot compares identities
    list_t copy(l), target = list_of({3, 4, 9}), &alias = target;
    target = l;
    target = alias;  // self-assignment keeps the elements
    EXPECT_TRUE(xs(target) == xs(l) && xs(copy) == xs(l));
    EXPECT_TRUE(&target.at(0) != &l.at(0) && &copy.at(0) != &l.at(0));  // element by element, not shared nodes
    // h = h * 31 + (low 32 bits of the node's address) / size, in 32-bit arithmetic.
    const auto node = [&l](int i) {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&l.at(i)) -
                                          offsetof(kt_list_node<vertex_t>, value));
    };
    EXPECT_EQ(l.hashCode(), std::uint32_t((31u + node(0) / 2u) * 31u + node(1) / 2u));
    l.removeAt(1);
    EXPECT_EQ(l.hashCode(), std::uint32_t(31u + node(0)));
}

TEST(KtList, OperationsReachEachOtherThroughTheVirtualTable) {
    counting_list l;
    std::vector<vertex_t> array;
    EXPECT_TRUE(l.addAll(list_of({1, 2, 3})) && l.adds == 3);
    EXPECT_TRUE(l.isEmpty() && !l.toArray(array) && !l.retainAll(list_of({1})) && l.equals(counting_list()));
}

TEST(KtIterator, WalkRemoveAndCallsOutsideTheContract) {
    list_t l = list_of({1, 2, 3, 4});
    ktIterator<vertex_t> it = l.iterator();
    it.remove();  // before the first next: nothing happens
    EXPECT_EQ(it.next().position.x, 1);
    ktIterator<vertex_t> copy = it;  // both fields copied: carries on from 2
    EXPECT_EQ(copy.next().colour.w, 2);
    it.remove();  // 2 moves into the node of 1 and is not returned again
    EXPECT_EQ(xs(l), (floats{2, 3, 4}));
    EXPECT_EQ(it.next().colour.w, 3);
    it.remove();                                                       // in the middle: 4 moves into the node of 3
    it.remove();                                                       // no successor: nothing happens
    EXPECT_TRUE(!it.hasNext() && it.next() == none && !it.hasNext());  // past the end: a default element, no movement
    EXPECT_TRUE(l.add(v(5)));
    EXPECT_EQ(xs(l), (floats{2, 4, 5}));
}

TEST(KtObject, NamesRecordsIdentityTextAndClone) {
    const ktObject object;
    const list_t l = list_of({1, 2});
    const ktIterator<vertex_t> it = l.iterator();
    EXPECT_EQ(
        (std::vector<std::string>{object.className(), static_cast<const ktCollection<vertex_t>&>(l).className(),
                                  ktCollection<vertex_t>().className(), static_cast<const ktObject&>(it).className(),
                                  l.ktObject::className()}),
        (std::vector<std::string>{"KTOBJECT", "ktList(vertex_t)", "ktCollection(vertex_t)", "ktIterator(vertex_t)",
                                  "KTLISTVERTEX_T"}));  // the root's own className reads the dynamic type's record
    // Only leading ASCII digits go: '/' and ':' flank the digits; a name of digits only leaves nothing.
    EXPECT_EQ(kt_readable_name("KT8OBJECT") + "|" + kt_readable_name("0912") + "|" + kt_readable_name("5/:") + "|" +
                  kt_readable_name("5:/") + "|" + kt_readable_name(nullptr),
              "KT8OBJECT||/:|:/|");
    const kt_type_record* records[] = {&kt_root_object_record, &ktObject::type_record,
                                       &ktIterator<vertex_t>::type_record, &ktCollection<vertex_t>::type_record,
                                       &ktList<vertex_t>::type_record};
    const char* names[] = {"6OBJECT", "8KTOBJECT", "18KTITERATORVERTEX_T", "20KTCOLLECTIONVERTEX_T",
                           "14KTLISTVERTEX_T"};
    const kt_type_record* bases[] = {nullptr, records[0], records[1], records[1], records[3]};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(!records[i]->reserved && records[i]->base == bases[i] &&
                    records[i]->encoded_name == std::string(names[i]))
            << names[i];

    EXPECT_TRUE(object.equals(object) && !object.equals(ktObject()));
    EXPECT_EQ(object.hashCode(), reinterpret_cast<std::uintptr_t>(&object));
    EXPECT_EQ(object.toString(), "KTOBJECT@" + std::to_string(reinterpret_cast<std::uintptr_t>(&object)));
    EXPECT_EQ(it.toString(),
              "ktIterator(vertex_t)@" + std::to_string(reinterpret_cast<std::uintptr_t>(&it)));  // decimal, in full
    EXPECT_EQ(l.clone().className(), "KTOBJECT");  // a plain root object, whatever the receiver
}
