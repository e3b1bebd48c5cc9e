// ktIterator: walks a collection's chain of nodes, element by element, and can remove while walking.
#pragma once

#include <string>

#include "collections/element_name.h"
#include "collections/kt_object.h"
#include "collections/list_node.h"

// Holds plain node pointers and no reference to its collection: it is useful only while the
// nodes it points at exist.
template <class T>
class ktIterator : public ktObject {
public:
    static const kt_type_record type_record;

    // last starts null; next is the node the first call of next() will return.
    explicit ktIterator(kt_list_node<T>* start) : next_(start) {}
    ktIterator(const ktIterator&) = default;
    ktIterator& operator=(const ktIterator&) = default;

    std::string className() const override { return std::string("ktIterator(") + kt_element_name<T>::value + ")"; }

    virtual bool hasNext() const { return next_ != nullptr; }

    // A copy of the following element. At the end there is nothing to step to: the iterator
    // stays where it is and hands back a default element instead of following a null link.
    virtual T next() {
        if (next_ == nullptr) return T{};
        last_ = next_;
        next_ = next_->next;
        return last_->value;
    }

    // Removes the element the latest next() returned by moving its successor's element into its
    // node and releasing the successor's node; the moved element is not returned again. With no
    // element returned yet, or when the returned element has no successor, there is no node this
    // scheme could release, so nothing happens.
    virtual void remove() {
        if (last_ == nullptr || next_ == nullptr) return;
        kt_list_node<T>* gone = next_;
        last_->value = gone->value;
        last_->next = gone->next;
        delete gone;
        next_ = last_->next;
    }

private:
    kt_list_node<T>* last_ = nullptr;  // the node whose element next() returned most recently
    kt_list_node<T>* next_ = nullptr;  // the node whose element next() returns next; null at the end
};
