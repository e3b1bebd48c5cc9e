// The class library instantiated for vertex_t: ktCollection(vertex_t), ktList(vertex_t), ktIterator(vertex_t).
#pragma once

#include "collections/element_name.h"
#include "collections/kt_collection.h"
#include "collections/kt_iterator.h"
#include "collections/kt_list.h"
#include "collections/type_record.h"
#include "geometry/vertex.h"

template <>
struct kt_element_name<vertex_t> {
    static constexpr const char* value = "vertex_t";
};

// The type records of the vertex classes ("18KTITERATORVERTEX_T", "20KTCOLLECTIONVERTEX_T",
// "14KTLISTVERTEX_T"), defined with the library's other records.
template <>
const kt_type_record ktIterator<vertex_t>::type_record;
template <>
const kt_type_record ktCollection<vertex_t>::type_record;
template <>
const kt_type_record ktList<vertex_t>::type_record;

// Compiled once, in vertex_lists.cpp.
extern template class ktIterator<vertex_t>;
extern template class ktCollection<vertex_t>;
extern template class ktList<vertex_t>;
