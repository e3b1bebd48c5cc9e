// ktCollection: a singly linked chain of value elements with the whole-collection operations.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "collections/element_name.h"
#include "collections/kt_iterator.h"
#include "collections/kt_object.h"
#include "collections/list_node.h"

// One heap node per element, reached from head only: there is no tail pointer and no stored
// count, so appending and counting walk the chain. Elements are copied in and handed out as
// copies (except by at()). The virtual operations are declared in their slot order after the
// five of ktObject, and every operation that needs another one calls it through the virtual
// table so that a derived class's override is used.
//
// The caller's dynamic array of toArray and the array-reading operations is a std::vector,
// with bounds 0 to size() - 1.
template <class T>
class ktCollection : public ktObject {
public:
    using node_type = kt_list_node<T>;
    static const kt_type_record type_record;

    ktCollection() = default;
    // A collection owns its nodes, so a member-wise copy would release them twice. Copies are
    // made element by element, by the list's constructors and assign().
    ktCollection(const ktCollection&) = delete;
    ktCollection& operator=(const ktCollection&) = delete;

    std::string className() const override { return std::string("ktCollection(") + kt_element_name<T>::value + ")"; }

    // h := h * 31 + (a / n) over the nodes from head, in 32-bit unsigned arithmetic, where a is
    // the low 32 bits of the node's address and n the current size(). Empty gives 1. It depends
    // on where the nodes lie, so it is stable only while they live.
    std::uintptr_t hashCode() const override {
        std::uint32_t h = 1;
        const std::uint32_t n = static_cast<std::uint32_t>(size());
        for (const node_type* node = head_; node != nullptr; node = node->next) {
            const auto a = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(node));
            h = h * 31u + a / n;
        }
        return h;
    }

    // "[" then the element text forms separated by ", ", then "]".
    std::string toString() const override {
        std::string text = "[";
        for (const node_type* node = head_; node != nullptr; node = node->next) {
            if (node != head_) text += ", ";
            text += to_string(node->value);
        }
        text += ']';
        return text;
    }

    using ktObject::equals;

    virtual ~ktCollection() { clear(); }

    // Appends a copy of e. False, with nothing changed, when no memory for the node can be had.
    virtual bool add(const T& e) {
        node_type* const last = last_node();
        node_type* fresh = make_node(e);
        if (fresh == nullptr) return false;
        (last != nullptr ? last->next : head_) = fresh;
        return true;
    }

    // Appends the other collection's elements in order by add(); false when it has none. All or
    // nothing: when an element cannot be added (no memory for its node, or for the snapshot of
    // other) the elements appended so far are released again, false is returned and the
    // collection is as it was. Works on a snapshot, so adding a collection to itself doubles it.
    virtual bool addAll(const ktCollection& other) {
        std::vector<T> elements;
        if (!other.toArray(elements)) return false;
        node_type* const last = last_node();
        for (const T& e : elements) {
            if (!add(e)) {
                node_type*& appended = last != nullptr ? last->next : head_;
                release_chain(appended);
                appended = nullptr;
                return false;
            }
        }
        return true;
    }

    virtual void clear() {
        release_chain(head_);
        head_ = nullptr;
    }

    virtual bool contains(const T& e) const {
        for (const node_type* node = head_; node != nullptr; node = node->next) {
            if (node->value == e) return true;
        }
        return false;
    }

    // True when every element of other is contained; an empty other gives true. If other's
    // elements cannot be copied out for lack of memory the answer is unknown, and false is given
    // rather than a true nobody checked.
    virtual bool containsAll(const ktCollection& other) const {
        std::vector<T> elements;
        if (!other.toArray(elements)) return other.isEmpty();
        for (const T& e : elements) {
            if (!contains(e)) return false;
        }
        return true;
    }

    // Equal when the two text forms are equal, character for character.
    virtual bool equals(const ktCollection& other) const { return toString() == other.toString(); }

    virtual bool isEmpty() const { return size() == 0; }

    virtual ktIterator<T> iterator() const { return ktIterator<T>(head_); }

    // Unlinks the element at index i and returns it; out of range gives a default element and
    // changes nothing.
    virtual T removeAt(std::int32_t i) {
        node_type* previous = nullptr;
        std::int32_t k = 0;
        for (node_type* node = head_; node != nullptr; previous = node, node = node->next, ++k) {
            if (k == i) {
                T removed = node->value;
                unlink(previous, node);
                return removed;
            }
        }
        return T{};
    }

    // Unlinks the first element equal to e; false when there is none.
    virtual bool remove(const T& e) {
        node_type* previous = nullptr;
        for (node_type* node = head_; node != nullptr; previous = node, node = node->next) {
            if (node->value == e) {
                unlink(previous, node);
                return true;
            }
        }
        return false;
    }

    // Each element of other removes at most one equal element, the first. False when either
    // collection is empty (or other cannot be copied out); otherwise true, whether or not
    // anything was removed.
    virtual bool removeAll(const ktCollection& other) {
        if (other.size() == 0) return false;
        if (size() == 0) return false;
        std::vector<T> elements;
        if (!other.toArray(elements)) return false;
        for (const T& x : elements) {
            if (contains(x)) remove(x);
        }
        return true;
    }

    // Keeps only the elements other contains. False, removing nothing, when either is empty.
    virtual bool retainAll(const ktCollection& other) {
        if (size() == 0) return false;
        if (other.size() == 0) return false;
        node_type* previous = nullptr;
        node_type* node = head_;
        while (node != nullptr) {
            node_type* following = node->next;
            if (other.contains(node->value)) {
                previous = node;
            } else {
                unlink(previous, node);
            }
            node = following;
        }
        return true;
    }

    // Counted from head on every call. Counts are 32-bit signed: a chain of 2^31 nodes would
    // take hundreds of gigabytes, far beyond what this library is used for.
    virtual std::int32_t size() const {
        std::int32_t n = 0;
        for (const node_type* node = head_; node != nullptr; node = node->next) ++n;
        return n;
    }

    // Replaces a's contents with copies of the elements in order, bounds 0 to size() - 1. When
    // the collection is empty, or the array's storage cannot be had, a is left as it was and
    // false is returned.
    virtual bool toArray(std::vector<T>& a) const {
        const std::int32_t n = size();
        if (n == 0) return false;
        std::vector<T> fresh;
        try {
            fresh.resize(static_cast<std::size_t>(n));
        } catch (const std::bad_alloc&) {
            return false;
        }
        std::size_t k = 0;
        for (const node_type* node = head_; node != nullptr; node = node->next) fresh[k++] = node->value;
        a.swap(fresh);
        return true;
    }

    virtual std::uintptr_t asInteger() const { return hashCode(); }

    virtual std::string asString() const { return toString(); }

    // Replaces the contents with copies of other's elements by addAll(), all or nothing: the old
    // chain is set aside, not released, until the copy is complete. When it cannot be completed
    // for lack of memory, false is returned and the collection keeps its old elements. Assigning
    // a collection to itself keeps it as it is.
    virtual bool assign(const ktCollection& other) {
        if (&other == this) return true;
        node_type* const kept = head_;
        head_ = nullptr;
        if (!addAll(other) && !other.isEmpty()) {
            head_ = kept;
            return false;
        }
        release_chain(kept);
        return true;
    }

    // The stored element itself; writing through the reference changes the collection. An index
    // with no node throws std::out_of_range rather than touching memory that is not there.
    virtual T& at(std::int32_t i) {
        std::int32_t k = 0;
        for (node_type* node = head_; node != nullptr; node = node->next, ++k) {
            if (k == i) return node->value;
        }
        throw std::out_of_range("ktCollection::at: index " + std::to_string(i) + " is out of range");
    }

protected:
    node_type* head_ = nullptr;

    // A node holding a copy of e, or null when no memory can be had.
    static node_type* make_node(const T& e) {
        std::unique_ptr<node_type> fresh(new (std::nothrow) node_type);
        if (!fresh) return nullptr;
        fresh->value = e;
        return fresh.release();
    }

    node_type* last_node() const {
        node_type* last = nullptr;
        for (node_type* node = head_; node != nullptr; node = node->next) last = node;
        return last;
    }

    // Releases node and every node after it, each element destroyed with its node.
    static void release_chain(node_type* node) {
        while (node != nullptr) {
            node_type* following = node->next;
            delete node;
            node = following;
        }
    }

    // Takes node out of the chain (previous is its predecessor, null at head) and releases it.
    void unlink(node_type* previous, node_type* node) {
        (previous != nullptr ? previous->next : head_) = node->next;
        delete node;
    }
};
