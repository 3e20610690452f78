#include "assets/resources.h"

#include <cstring>

const EmbeddedResource* FindResource(int id, const char* type) {
    for (const EmbeddedResource* r = kEmbeddedResources; r->type; ++r)
        if (r->id == id && std::strcmp(r->type, type) == 0) return r;
    return nullptr;
}

uint32_t SizeofResource(const EmbeddedResource* resource) {
    return resource ? static_cast<uint32_t>(resource->end - resource->begin) : 0;
}

const void* LockResource(const EmbeddedResource* resource) { return resource ? resource->begin : nullptr; }
