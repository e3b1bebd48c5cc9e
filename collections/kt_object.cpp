// ktObject's five operations.
#include "collections/kt_object.h"

#include <typeinfo>

#include "base/number_text.h"

bool ktObject::equals(const ktObject& other) const { return this == &other; }

std::string ktObject::className() const { return kt_readable_name(kt_type_record_of(typeid(*this)).encoded_name); }

std::uintptr_t ktObject::hashCode() const { return reinterpret_cast<std::uintptr_t>(this); }

// The address is written directly and in full (64 bits here); hashCode is not consulted, so a
// class that overrides the hash keeps its identity text.
std::string ktObject::toString() const {
    std::string text = className();
    text += '@';
    text += base::unsigned_to_decimal(reinterpret_cast<std::uintptr_t>(this));
    return text;
}

ktObject ktObject::clone() const { return ktObject(*this); }
