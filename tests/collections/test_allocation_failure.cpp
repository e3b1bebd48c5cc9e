// Tests that failed allocations leave lists as they were, through global allocation functions that can be made to fail.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "collections/vertex_lists.h"

// Once armed, single-object allocations are counted from 1 and the one numbered failing_allocation
// fails (with every_one_after, so does every later one); the others succeed. They go to malloc and
// free, which the sanitizers still watch. The array forms, which the library does not use, are left
// to the runtime, which pairs them itself.
static bool armed = false;
static bool every_one_after = false;
static long allocations = 0;
static long failing_allocation = 0;
static void* allocate(std::size_t size) noexcept {
    if (armed && ++allocations >= failing_allocation && (every_one_after || allocations == failing_allocation))
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new(std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using list_t = ktList<vertex_t>;
using floats = std::vector<float>;

// Starts counting; failing_allocation and every_one_after say which allocations fail.
void arm() {
    allocations = 0;
    armed = true;
}

list_t list_of(const floats& xs) {
    list_t list;
    for (float x : xs) list.add(vertex_t(vec4_t(x, 0, 0)));
    return list;
}

floats xs(const list_t& list) {
    floats out;
    for (ktIterator<vertex_t> it = list.iterator(); it.hasNext();) out.push_back(it.next().position.x);
    return out;
}

// One bulk operation, run on fresh lists with the allocator armed around the operation alone:
// whether it claimed success, and what the list it changes (or builds) then holds.
struct bulk_case_t {
    const char* name;
    std::function<std::pair<bool, floats>()> run;
    floats complete;      // the list after a successful run
    floats failed;        // after a failed run: as it was, or empty for a list being built
    bool reports = true;  // false for operator=, which has no result to report with
};

// An operation on the list {1, 2, 6} with the list {3, 4, 5} as its argument.
template <class Operation>
std::function<std::pair<bool, floats>()> on_target(Operation operation) {
    return [operation] {
        list_t target = list_of({1, 2, 6});
        const list_t source = list_of({3, 4, 5});
        arm();
        const bool ok = operation(target, source);
        armed = false;
        return std::pair(ok, xs(target));
    };
}

// A list built from {3, 4, 5} or {1, 2, 3, 4, 5}; an empty result is the sign of failure.
template <class Build>
std::function<std::pair<bool, floats>()> built(floats from, Build build) {
    return [from, build] {
        const list_t source = list_of(from);
        arm();
        const list_t made = build(source);
        armed = false;
        return std::pair(!made.isEmpty(), xs(made));
    };
}

}  // namespace

TEST(KtListAllocationFailure, NothingChangesAndNoUncheckedClaimIsMade) {
    list_t list, empty, other;
    list.add(vertex_t(vec4_t(1, 0, 0)));
    other.add(vertex_t(vec4_t(2, 0, 0)));
    std::vector<vertex_t> array(3);
    failing_allocation = 1;
    every_one_after = true;
    arm();
    // add, insertAt and toArray report the failure; the operations that work on a copy of their
    // argument make no claim they could not check.
    const std::array<bool, 8> results{list.add(vertex_t()),  empty.add(vertex_t()),  list.insertAt(0, vertex_t()),
                                      list.toArray(array),   list.addAll(other),     list.containsAll(other),
                                      list.removeAll(other), list.addAllAt(0, other)};
    armed = false;
    EXPECT_EQ(results, (std::array<bool, 8>{}));
    EXPECT_TRUE(list.size() == 1 && list.get(0).position.x == 1 && empty.isEmpty() && array.size() == 3);
    EXPECT_TRUE(list.add(vertex_t()));  // and everything works again once memory is back
}

// Allocation k alone fails, for every k from the first until the operation no longer reaches it:
// each bulk operation either completes or reports the failure and leaves its target as it was, and
// a list being built comes out empty. Never a partial copy, never a failure reported as success.
TEST(KtListAllocationFailure, BulkOperationsFailingPartWayLeaveTheTargetAsItWas) {
    const floats before = {1, 2, 6}, source = {3, 4, 5};
    const std::vector<bulk_case_t> cases = {
        {"addAll", on_target([](auto& t, auto& s) { return t.addAll(s); }), {1, 2, 6, 3, 4, 5}, before},
        {"addAll of itself", on_target([](auto& t, auto&) { return t.addAll(t); }), {1, 2, 6, 1, 2, 6}, before},
        {"addAllAt 0", on_target([](auto& t, auto& s) { return t.addAllAt(0, s); }), {3, 4, 5, 1, 2, 6}, before},
        {"addAllAt 1", on_target([](auto& t, auto& s) { return t.addAllAt(1, s); }), {1, 3, 4, 5, 2, 6}, before},
        {"assign", on_target([](auto& t, auto& s) { return t.assign(s); }), source, before},
        {"operator=", on_target([](auto& t, auto& s) { return (t = s, true); }), source, before, false},
        {"copy construction", built(source, [](auto& s) { return list_t(s); }), source, {}},
        {"subList 1 to 3", built({1, 2, 3, 4, 5}, [](auto& s) { return s.subList(1, 3); }), {2, 3, 4}, {}},
    };
    every_one_after = false;
    for (const bulk_case_t& c : cases) {
        for (long k = 1;; ++k) {
            SCOPED_TRACE(std::string(c.name) + ", allocation " + std::to_string(k) + " failing");
            failing_allocation = k;
            const auto [ok, got] = c.run();
            if (allocations < k) {  // finished before allocation k: nothing failed
                EXPECT_TRUE(ok);
                EXPECT_EQ(got, c.complete);
                EXPECT_GT(k, 3) << "every copied element takes an allocation";
                break;
            }
            if (c.reports) {
                EXPECT_FALSE(ok);
            }
            EXPECT_EQ(got, c.failed);
            ASSERT_LT(k, 100);
        }
    }
}
