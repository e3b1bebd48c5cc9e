// ktList: a ktCollection with positional access: insert, get, set, search by index and sub-lists.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "collections/element_name.h"
#include "collections/kt_collection.h"

// Indexes count from 0 at head and are 32-bit signed. The list adds no fields; its virtual
// operations follow the collection's in slot order.
template <class T>
class ktList : public ktCollection<T> {
    using node_type = typename ktCollection<T>::node_type;

public:
    static const kt_type_record type_record;

    ktList() = default;
    // An empty list filled by addAll(other); empty too when the copy cannot be completed for lack
    // of memory.
    explicit ktList(const ktCollection<T>& other) { this->addAll(other); }
    ktList(const ktList& other) : ktList(static_cast<const ktCollection<T>&>(other)) {}

    // Forwards to assign(): when the copy cannot be completed the list keeps its old elements.
    ktList& operator=(const ktCollection<T>& other) {
        this->assign(other);
        return *this;
    }
    ktList& operator=(const ktList& other) { return *this = static_cast<const ktCollection<T>&>(other); }

    std::string className() const override { return std::string("ktList(") + kt_element_name<T>::value + ")"; }

    // Inserts a copy of e before the node that has index i. Only an existing node can be
    // inserted before: i negative, i >= size() or an empty list give false, as does a failed
    // allocation; in every such case the list is unchanged. Appending is add()'s job.
    virtual bool insertAt(std::int32_t i, const T& e) {
        node_type* previous = nullptr;
        std::int32_t k = 0;
        for (node_type* node = this->head_; node != nullptr; previous = node, node = node->next, ++k) {
            if (k == i) {
                node_type* fresh = this->make_node(e);
                if (fresh == nullptr) return false;
                fresh->next = node;
                (previous != nullptr ? previous->next : this->head_) = fresh;
                return true;
            }
        }
        return false;
    }

    // insertAt(i + k, element k) for each element of other. False when i is negative or beyond
    // size(), or other has no elements. At i == size() every insertAt refuses its index, so
    // nothing is inserted and true is returned. Otherwise all or nothing: when an insert fails
    // for lack of memory the elements inserted so far are released again, false is returned and
    // the list is as it was.
    virtual bool addAllAt(std::int32_t i, const ktCollection<T>& other) {
        const std::int32_t n = this->size();
        if (i < 0 || i > n) return false;
        std::vector<T> elements;
        if (!other.toArray(elements)) return false;
        if (i == n) {
            for (std::size_t k = 0; k < elements.size(); ++k) {
                // An index past the 32-bit range can name no node, so the remaining inserts
                // would refuse anyway; stopping keeps i + k from overflowing.
                if (k > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - i)) break;
                insertAt(i + static_cast<std::int32_t>(k), elements[k]);
            }
            return true;
        }
        node_type* before = nullptr;  // the node at index i - 1, after which the inserts go
        for (std::int32_t k = 0; k < i; ++k) before = before != nullptr ? before->next : this->head_;
        for (std::size_t k = 0; k < elements.size(); ++k) {
            if (!insertAt(i + static_cast<std::int32_t>(k), elements[k])) {
                node_type*& first = before != nullptr ? before->next : this->head_;
                for (std::size_t inserted = 0; inserted < k; ++inserted) this->unlink(before, first);
                return false;
            }
        }
        return true;
    }

    // A copy of the element at index i; a default element when there is none.
    virtual T get(std::int32_t i) const {
        std::int32_t k = 0;
        for (const node_type* node = this->head_; node != nullptr; node = node->next, ++k) {
            if (k == i) return node->value;
        }
        return T{};
    }

    virtual std::int32_t indexOf(const T& e) const {
        std::int32_t k = 0;
        for (const node_type* node = this->head_; node != nullptr; node = node->next, ++k) {
            if (node->value == e) return k;
        }
        return -1;
    }

    virtual std::int32_t lastIndexOf(const T& e) const {
        std::int32_t found = -1;
        std::int32_t k = 0;
        for (const node_type* node = this->head_; node != nullptr; node = node->next, ++k) {
            if (node->value == e) found = k;
        }
        return found;
    }

    // Replaces the element at index i (the last one included) and returns the old one; with no
    // node at i, a default element and no change.
    virtual T set(std::int32_t i, const T& e) {
        std::int32_t k = 0;
        for (node_type* node = this->head_; node != nullptr; node = node->next, ++k) {
            if (k == i) {
                T previous = node->value;
                node->value = e;
                return previous;
            }
        }
        return T{};
    }

    // Copies of the elements with from <= index <= to, both ends included; bounds beyond the
    // list select only the indexes that exist, and from > to selects nothing. Gathered by add()
    // into a temporary list, which the result is then built from. When memory runs out on the
    // way the result is empty, never a shortened selection.
    virtual ktList subList(std::int32_t from, std::int32_t to) const {
        ktList picked;
        std::int32_t k = 0;
        for (const node_type* node = this->head_; node != nullptr && k <= to; node = node->next, ++k) {
            if (k >= from && !picked.add(node->value)) return ktList();
        }
        return ktList(static_cast<const ktCollection<T>&>(picked));
    }
};
