// Tests that a failed allocation leaves a list unchanged, through global allocation functions that can be made to fail.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <new>
#include <vector>

#include "collections/vertex_lists.h"

// While the switch is on, every single-object allocation of this program fails. They go to malloc
// and free, which the sanitizers still watch. The array forms, which the library does not use, are
// left to the runtime, which pairs them itself.
static bool allocations_fail = false;
static void* allocate(std::size_t size) noexcept {
    return allocations_fail ? nullptr : std::malloc(size == 0 ? 1 : size);
}

void* operator new(std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST(KtListAllocationFailure, NothingChangesAndNoUncheckedClaimIsMade) {
    ktList<vertex_t> list, empty, other;
    list.add(vertex_t(vec4_t(1, 0, 0)));
    other.add(vertex_t(vec4_t(2, 0, 0)));
    std::vector<vertex_t> array(3);
    allocations_fail = true;
    // add, insertAt and toArray report the failure; the operations that work on a copy of their
    // argument make no claim they could not check.
    const std::array<bool, 8> results{list.add(vertex_t()),  empty.add(vertex_t()),  list.insertAt(0, vertex_t()),
                                      list.toArray(array),   list.addAll(other),     list.containsAll(other),
                                      list.removeAll(other), list.addAllAt(0, other)};
    allocations_fail = false;
    EXPECT_EQ(results, (std::array<bool, 8>{}));
    EXPECT_TRUE(list.size() == 1 && list.get(0).position.x == 1 && empty.isEmpty() && array.size() == 3);
    EXPECT_TRUE(list.add(vertex_t()));  // and everything works again once memory is back
}
