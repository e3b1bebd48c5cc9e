// Tests of the list iterator: walking, removal by moving the successor, and calls past the contract.
#include <gtest/gtest.h>

#include <vector>

#include "collections/vertex_lists.h"
#include "sample_vertices.h"

using samples::a;
using samples::b;
using samples::c;
using samples::d;
using samples::list_of;
using samples::xs;
using floats = std::vector<float>;

TEST(KtIterator, WalksInOrderAndStopsSafelyAtTheEnd) {
    const ktList<vertex_t> list = list_of({a, b, c});
    ktIterator<vertex_t> it = list.iterator();
    ASSERT_TRUE(it.hasNext());
    samples::expect_same_vertex(it.next(), a);
    ktIterator<vertex_t> copy = it;  // both fields copied: the copy carries on from b
    samples::expect_same_vertex(it.next(), b);
    samples::expect_same_vertex(it.next(), c);
    EXPECT_FALSE(it.hasNext());
    samples::expect_default(it.next());  // past the end: a default element, no movement
    samples::expect_default(it.next());
    EXPECT_FALSE(it.hasNext());
    EXPECT_EQ(copy.next().position.x, 2);

    ktIterator<vertex_t> none = ktList<vertex_t>().iterator();
    EXPECT_FALSE(none.hasNext());
    samples::expect_default(none.next());
}

TEST(KtIterator, RemoveMovesTheSuccessorIntoTheReturnedNode) {
    ktList<vertex_t> list = list_of({a, b, c});
    ktIterator<vertex_t> it = list.iterator();
    EXPECT_EQ(it.next().position.x, 1);
    it.remove();
    EXPECT_EQ(xs(list), (floats{2, 3}));
    ASSERT_TRUE(it.hasNext());
    EXPECT_EQ(it.next().position.x, 3);  // b moved into the node of a and is not returned again
    EXPECT_FALSE(it.hasNext());
    samples::expect_same_vertex(list.get(0), b);  // every member moved

    list = list_of({a, b, c, d});
    it = list.iterator();
    it.next();
    it.next();
    it.remove();  // removes b from the middle
    EXPECT_EQ(xs(list), (floats{1, 3, 4}));
    EXPECT_EQ(it.next().position.x, 4);
    EXPECT_TRUE(list.add(a));  // the chain is intact after the removal
    EXPECT_EQ(xs(list), (floats{1, 3, 4, 1}));
}

TEST(KtIterator, RemoveOutsideItsContractDoesNothing) {
    ktList<vertex_t> list = list_of({a, b});
    ktIterator<vertex_t> it = list.iterator();
    it.remove();  // before the first next
    EXPECT_EQ(xs(list), (floats{1, 2}));
    it.next();
    it.next();
    it.remove();  // the returned element has no successor
    EXPECT_EQ(xs(list), (floats{1, 2}));
    it.next();    // at the end
    it.remove();
    EXPECT_EQ(xs(list), (floats{1, 2}));

    ktIterator<vertex_t> none = ktList<vertex_t>().iterator();
    none.remove();
    EXPECT_FALSE(none.hasNext());
}
