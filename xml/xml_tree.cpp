// Storage of the document tree: the block allocator, the name index and node linking.
#include "xml/xml_tree.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t ALIGN = XML_ARENA_ALIGN;
static_assert(alignof(XmlNode) <= ALIGN && alignof(XmlAttr) <= ALIGN, "blocks must align nodes");
constexpr size_t FIRST_BLOCK = 4096;
static_assert(FIRST_BLOCK % ALIGN == 0 && XML_ARENA_HEADER % ALIGN == 0,
              "block room must stay a multiple of the alignment");
// Blocks double up to this size; larger documents simply take more blocks.
constexpr size_t LARGEST_BLOCK = 1u << 20;
constexpr size_t INDEX_FIRST_CAPACITY = 64;

size_t roundUp(size_t bytes) {
    return (bytes + ALIGN - 1) & ~(ALIGN - 1);
}

constexpr size_t HEADER = XML_ARENA_HEADER;

char* blockData(XmlArenaBlock* block) {
    return reinterpret_cast<char*>(block) + HEADER;
}

uint64_t rotate(uint64_t x, int bits) {
    return (x << bits) | (x >> (64 - bits));
}

void sipRound(uint64_t v[4]) {
    v[0] += v[1];
    v[1] = rotate(v[1], 13) ^ v[0];
    v[0] = rotate(v[0], 32);
    v[2] += v[3];
    v[3] = rotate(v[3], 16) ^ v[2];
    v[0] += v[3];
    v[3] = rotate(v[3], 21) ^ v[0];
    v[2] += v[1];
    v[1] = rotate(v[1], 17) ^ v[2];
    v[2] = rotate(v[2], 32);
}

// SipHash-1-3 of the name under the document's key: without the key, names that collide cannot be
// chosen, so a file cannot pile its names into one probe run.
uint64_t nameHash(const uint64_t key[2], const char* name, size_t length) {
    uint64_t v[4] = {key[0] ^ 0x736f6d6570736575ull, key[1] ^ 0x646f72616e646f6dull,
                     key[0] ^ 0x6c7967656e657261ull, key[1] ^ 0x7465646279746573ull};
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(name);
    size_t whole = length & ~size_t{7};
    for (size_t i = 0; i < whole; i += 8) {
        uint64_t m = 0;
        for (int b = 7; b >= 0; b--)
            m = (m << 8) | bytes[i + b];
        v[3] ^= m;
        sipRound(v);
        v[0] ^= m;
    }
    uint64_t last = static_cast<uint64_t>(length) << 56;
    for (size_t i = whole; i < length; i++)
        last |= static_cast<uint64_t>(bytes[i]) << (8 * (i - whole));
    v[3] ^= last;
    sipRound(v);
    v[0] ^= last;
    v[2] ^= 0xff;
    for (int i = 0; i < 3; i++)
        sipRound(v);
    return v[0] ^ v[1] ^ v[2] ^ v[3];
}

// Every bit of the name's hash and of the list reaches the slot: the index uses only the low
// bits, and a slot taken from some of the hash's bits would let names that differ only in the
// others share a run.
size_t slotHash(const void* list, uint64_t hash) {
    uint64_t key =
        hash ^ (static_cast<uint64_t>(reinterpret_cast<uintptr_t>(list)) * 0x9E3779B97F4A7C15ull);
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDull;
    key ^= key >> 33;
    key *= 0xC4CEB9FE1A85EC53ull;
    key ^= key >> 33;
    return static_cast<size_t>(key);
}

// A key of its own for each document's index, from what differs between documents and runs: the
// index's address, a count of indexes made and the clock. Taken when the first long list enters
// the index, so the small files the program keeps never pay for it.
void seedIndex(XmlIndex* index) {
    static std::atomic<uint64_t> made{0};
    uint64_t state = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(index)) ^
                     (made.fetch_add(1, std::memory_order_relaxed) << 40) ^ platformTickMs() ^
                     static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&made)) << 17;
    for (uint64_t& word : index->key) {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        word = z ^ (z >> 31);
    }
}

// The length and the last byte tell most names apart before the bytes are compared.
template <typename T> bool sameName(const T* entry, const char* name, size_t length) {
    return entry->nameLength == length &&
           (length == 0 || (entry->name[length - 1] == name[length - 1] &&
                            memcmp(entry->name, name, length - 1) == 0));
}

template <typename T>
T* findInIndex(XmlIndex* index, const XmlList<T>* list, const char* name, size_t length) {
    uint64_t hash = nameHash(index->key, name, length);
    size_t mask = index->capacity - 1;
    index->searches++;
    for (size_t i = slotHash(list, hash) & mask;; i = (i + 1) & mask) {
        index->probes++;
        const XmlIndexSlot& slot = index->slots[i];
        if (!slot.entry) return nullptr;
        T* entry = static_cast<T*>(slot.entry);
        if (slot.list == list && slot.hash == hash && sameName(entry, name, length)) return entry;
    }
}

template <typename T>
T* findInList(XmlDocument* doc, XmlList<T>* list, const char* name, size_t length) {
    if (list->indexed) return findInIndex(&doc->index, list, name, length);
    for (T* entry = list->first; entry; entry = entry->next) {
        if (sameName(entry, name, length)) return entry;
    }
    return nullptr;
}

void placeInIndex(XmlIndex* index, const XmlIndexSlot& slot) {
    size_t mask = index->capacity - 1;
    size_t i = slotHash(slot.list, slot.hash) & mask;
    index->searches++;
    index->probes++;
    while (index->slots[i].entry) {
        i = (i + 1) & mask;
        index->probes++;
    }
    index->slots[i] = slot;
    index->count++;
}

// Makes room for `more` entries, keeping the index at most half full so probes stay short.
bool reserveIndex(XmlIndex* index, size_t more) {
    if ((index->count + more) * 2 <= index->capacity) return true;
    if (index->capacity == 0) seedIndex(index);
    size_t capacity = index->capacity ? index->capacity : INDEX_FIRST_CAPACITY;
    while ((index->count + more) * 2 > capacity)
        capacity *= 2;
    auto* slots = static_cast<XmlIndexSlot*>(calloc(capacity, sizeof(XmlIndexSlot)));
    if (!slots) return false;
    XmlIndex grown = *index;
    grown.slots = slots;
    grown.capacity = capacity;
    grown.count = 0;
    for (size_t i = 0; i < index->capacity; i++) {
        if (index->slots[i].entry) placeInIndex(&grown, index->slots[i]);
    }
    free(index->slots);
    *index = grown;
    return true;
}

template <typename T> void indexEntry(XmlIndex* index, const XmlList<T>* list, T* entry) {
    placeInIndex(index,
                 XmlIndexSlot{entry, list, nameHash(index->key, entry->name, entry->nameLength)});
}

template <typename T> bool indexOnLink(XmlDocument* doc, XmlList<T>* list, T* entry) {
    XmlIndex* index = &doc->index;
    if (list->indexed) {
        if (!reserveIndex(index, 1)) return false;
        indexEntry(index, list, entry);
        return true;
    }
    if (!reserveIndex(index, size_t{list->count} + 1)) return false;
    for (T* n = list->first; n; n = n->next)
        indexEntry(index, list, n);
    indexEntry(index, list, entry);
    list->indexed = true;
    return true;
}

} // namespace

bool xmlIndexOnLink(XmlDocument* doc, XmlList<XmlNode>* list, XmlNode* entry) {
    return indexOnLink(doc, list, entry);
}

bool xmlIndexOnLink(XmlDocument* doc, XmlList<XmlAttr>* list, XmlAttr* entry) {
    return indexOnLink(doc, list, entry);
}

void* xmlArenaAllocSlow(XmlArena* arena, size_t bytes) {
    size_t need = roundUp(bytes);
    if (need < bytes) return nullptr;
    XmlArenaBlock* head = arena->head;
    if (!head || head->size - head->used < need) {
        size_t size = arena->nextSize < FIRST_BLOCK ? FIRST_BLOCK : arena->nextSize;
        if (size - HEADER < need) size = HEADER + need;
        if (size < need) return nullptr;
        head = static_cast<XmlArenaBlock*>(malloc(size));
        if (!head) return nullptr;
        head->next = arena->head;
        head->size = size - HEADER;
        head->used = 0;
        arena->head = head;
        if (arena->nextSize < LARGEST_BLOCK) arena->nextSize = arena->nextSize * 2;
    }
    void* block = blockData(head) + head->used;
    head->used += need;
    return block;
}

char* xmlArenaCopy(XmlArena* arena, const char* text, size_t length) {
    char* copy = static_cast<char*>(xmlArenaAlloc(arena, length + 1));
    if (!copy) return nullptr;
    if (length) memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

// The document record and its first block are one allocation, so a small file takes one.
XmlDocument* xmlTreeCreate(uint32_t version, XmlEncoding encoding, XmlStandalone standalone,
                           const char* name, size_t length, size_t firstBlock) {
    size_t size = firstBlock < LARGEST_BLOCK ? HEADER + roundUp(firstBlock) : LARGEST_BLOCK;
    if (size < FIRST_BLOCK) size = FIRST_BLOCK;
    static_assert(sizeof(XmlDocument) % ALIGN == 0, "the first block follows the document");
    auto* doc = static_cast<XmlDocument*>(malloc(sizeof(XmlDocument) + size));
    if (!doc) return nullptr;
    // Field by field, leaving the lock to lockInit: a block clear of the record is slower.
    doc->version = version;
    doc->encoding = encoding;
    doc->standalone = standalone;
    doc->outputText = nullptr;
    doc->outputSize = 0;
    doc->outputIndent = 0;
    doc->outputCapacity = 0;
    doc->root = nullptr;
    doc->cursor = nullptr;
    doc->index = XmlIndex{};
    auto* first =
        reinterpret_cast<XmlArenaBlock*>(reinterpret_cast<char*>(doc) + sizeof(XmlDocument));
    first->next = nullptr;
    first->size = size - HEADER;
    first->used = 0;
    doc->arena.head = first;
    doc->arena.nextSize = size < LARGEST_BLOCK ? size * 2 : size;
    char* copy = xmlArenaCopy(&doc->arena, name, length);
    XmlNode* root =
        copy ? static_cast<XmlNode*>(xmlArenaAlloc(&doc->arena, sizeof(XmlNode))) : nullptr;
    if (!root) {
        xmlTreeFree(doc);
        return nullptr;
    }
    *root = XmlNode{};
    root->name = copy;
    root->nameLength = static_cast<uint32_t>(length);
    doc->root = root;
    doc->cursor = root;
    lockInit(&doc->lock);
    return doc;
}

void xmlTreeFree(XmlDocument* doc) {
    // The oldest block, last in the chain, is part of the document's own allocation.
    XmlArenaBlock* block = doc->arena.head;
    while (block->next) {
        XmlArenaBlock* next = block->next;
        free(block);
        block = next;
    }
    free(doc->index.slots);
    free(doc->outputText);
    if (doc->root) lockDestroy(&doc->lock);
    free(doc);
}

XmlNode* xmlFindInList(XmlDocument* doc, XmlList<XmlNode>* list, const char* name, size_t length) {
    return findInList(doc, list, name, length);
}

XmlAttr* xmlFindInList(XmlDocument* doc, XmlList<XmlAttr>* list, const char* name, size_t length) {
    return findInList(doc, list, name, length);
}

bool xmlStoreValue(XmlDocument* doc, XmlAttr* attribute, const char* text, size_t length) {
    attribute->valuePlain = false;
    if (!text) {
        attribute->value = nullptr;
        attribute->valueLength = 0;
        attribute->valueCapacity = 0;
        return true;
    }
    if (attribute->value && length <= attribute->valueCapacity) {
        memmove(attribute->value, text, length);
        attribute->valueLength = static_cast<uint32_t>(length);
        return true;
    }
    // The old value's room stays in the document's blocks until the document is freed.
    char* copy = xmlArenaCopy(&doc->arena, text, length);
    if (!copy) return false;
    attribute->value = copy;
    attribute->valueLength = static_cast<uint32_t>(length);
    attribute->valueCapacity = static_cast<uint32_t>(length);
    return true;
}
