// The single compiled instance of the vertex collection, list and iterator classes.
#include "collections/vertex_lists.h"

template class ktIterator<vertex_t>;
template class ktCollection<vertex_t>;
template class ktList<vertex_t>;
