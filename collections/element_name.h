// kt_element_name: how an element type names itself in the readable class names of the collections.
#pragma once

// Specialised for each element type the library is instantiated for, with a `value` member
// holding the type's name as written in code ("vertex_t").
template <class T>
struct kt_element_name;
