// The class library's static type records, and the lookup from a run-time type to its record.
#include <typeinfo>

#include "collections/kt_object.h"
#include "collections/type_record.h"
#include "collections/vertex_lists.h"

const kt_type_record kt_root_object_record{0, "6OBJECT", nullptr};

const kt_type_record ktObject::type_record{0, "8KTOBJECT", &kt_root_object_record};

template <>
const kt_type_record ktIterator<vertex_t>::type_record{0, "18KTITERATORVERTEX_T", &ktObject::type_record};
template <>
const kt_type_record ktCollection<vertex_t>::type_record{0, "20KTCOLLECTIONVERTEX_T", &ktObject::type_record};
template <>
const kt_type_record ktList<vertex_t>::type_record{0, "14KTLISTVERTEX_T", &ktCollection<vertex_t>::type_record};

std::string kt_readable_name(const char* encoded_name) {
    if (encoded_name == nullptr) return std::string();
    const char* p = encoded_name;
    while (*p >= '0' && *p <= '9') ++p;
    return std::string(p);
}

// The virtual table's link to the run-time type information is the object's only link to its
// type, so the records are found from that. The library is a closed set of classes, so a table
// of them does.
const kt_type_record& kt_type_record_of(const std::type_info& type) {
    struct entry {
        const std::type_info* type;
        const kt_type_record* record;
    };
    static const entry table[] = {
        {&typeid(ktObject), &ktObject::type_record},
        {&typeid(ktIterator<vertex_t>), &ktIterator<vertex_t>::type_record},
        {&typeid(ktCollection<vertex_t>), &ktCollection<vertex_t>::type_record},
        {&typeid(ktList<vertex_t>), &ktList<vertex_t>::type_record},
    };
    for (const entry& e : table) {
        if (*e.type == type) return *e.record;
    }
    return ktObject::type_record;
}
