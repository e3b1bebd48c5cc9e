// kt_list_node: one heap-allocated link of a collection's chain, holding its element by value.
#pragma once

// Built with next null and a default element; the element is copied in afterwards.
template <class T>
struct kt_list_node {
    kt_list_node* next = nullptr;
    T value{};
};
