// kt_type_record: the static type record of a library class, and the lookups built on it.
#pragma once

#include <cstdint>
#include <string>
#include <typeinfo>

// One record per class, shared by all its instances. The encoded name is the decimal length
// of the class identifier followed by the identifier in capitals ("8KTOBJECT").
struct kt_type_record {
    std::uintptr_t reserved;  // always zero
    const char* encoded_name;
    const kt_type_record* base;  // the direct base class; null only for the runtime's root
};

// The runtime's own root record ("6OBJECT"), the base of ktObject's record.
extern const kt_type_record kt_root_object_record;

// The encoded name with every leading ASCII digit removed: "8KTOBJECT" gives "KTOBJECT",
// a name without leading digits comes back whole, one made only of digits gives "".
std::string kt_readable_name(const char* encoded_name);

// The record of the library class whose run-time type is `type`. A class the library does not
// know (one derived outside it) is reported with ktObject's record, its nearest known base.
const kt_type_record& kt_type_record_of(const std::type_info& type);
