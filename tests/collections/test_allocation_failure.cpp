// Tests that a failed allocation leaves collections unchanged, with a global allocator that can be made to fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "collections/vertex_lists.h"
#include "sample_vertices.h"

// While the switch is on, every ordinary (non-aligned) allocation of this test program fails.
// The replacements go to malloc and free, which the sanitizers still watch.
namespace {
bool allocations_fail = false;

void* allocate(std::size_t size) noexcept {
    if (allocations_fail) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

struct failing_allocations {
    failing_allocations() { allocations_fail = true; }
    ~failing_allocations() { allocations_fail = false; }
};
}  // namespace

void* operator new(std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

using samples::a;
using samples::b;
using samples::x;
using samples::xs;
using floats = std::vector<float>;

TEST(KtListAllocationFailure, AddInsertAtAndToArrayReportFalseAndChangeNothing) {
    ktList<vertex_t> list = samples::list_of({a, b});
    ktList<vertex_t> empty;
    std::vector<vertex_t> array{x};
    bool added = true, added_to_empty = true, inserted = true, copied_out = true;
    {
        failing_allocations failing;
        added = list.add(x);
        added_to_empty = empty.add(x);
        inserted = list.insertAt(0, x);
        copied_out = list.toArray(array);
    }
    EXPECT_FALSE(added);
    EXPECT_FALSE(added_to_empty);
    EXPECT_FALSE(inserted);
    EXPECT_FALSE(copied_out);
    EXPECT_EQ(xs(list), (floats{1, 2}));
    EXPECT_TRUE(empty.isEmpty());
    ASSERT_EQ(array.size(), 1u);
    EXPECT_EQ(array[0].position.x, 9);

    // Operations built on a copy of the argument make no claim they could not check.
    ktList<vertex_t> other = samples::list_of({a});
    bool all_added = true, contains_all = true, removed_all = true, placed_all = true;
    {
        failing_allocations failing;
        all_added = list.addAll(other);
        contains_all = list.containsAll(other);
        removed_all = list.removeAll(other);
        placed_all = list.addAllAt(0, other);
    }
    EXPECT_FALSE(all_added);
    EXPECT_FALSE(contains_all);
    EXPECT_FALSE(removed_all);
    EXPECT_FALSE(placed_all);
    EXPECT_EQ(xs(list), (floats{1, 2}));

    // And everything works again once memory is back.
    EXPECT_TRUE(list.add(x));
    EXPECT_EQ(xs(list), (floats{1, 2, 9}));
}
