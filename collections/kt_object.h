// ktObject: the root of the class library, with identity equality, class names, identity hash, text form and clone.
#pragma once

#include <cstdint>
#include <string>

#include "collections/type_record.h"

// Holds no data: the only thing an instance carries is its link to its dynamic type (the
// virtual table), through which className reaches the type record. The five operations below
// are the first five virtual slots, in this order; derived classes append theirs after them.
//
// There is deliberately no virtual destructor here: the library's first one is introduced by
// ktCollection. Nothing in the library deletes an object through a ktObject pointer.
class ktObject {
public:
    static const kt_type_record type_record;

    ktObject() = default;
    ktObject(const ktObject&) = default;
    ktObject& operator=(const ktObject&) = default;

    // True only when `other` is this very object.
    virtual bool equals(const ktObject& other) const;
    // The dynamic type's encoded name less its leading digits ("KTOBJECT" for a plain object).
    virtual std::string className() const;
    // The object's address.
    virtual std::uintptr_t hashCode() const;
    // className() (dispatched virtually), "@", then the address in unsigned decimal.
    virtual std::string toString() const;
    // A plain ktObject copied from the root part only, whatever the receiver's dynamic type.
    virtual ktObject clone() const;
};
