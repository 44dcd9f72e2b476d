// Owners for what the Windows shell makes and must free exactly once: regions (the only GDI
// objects it makes), menus, dropped-file lists and heap blocks. An owner frees what it holds when
// it goes out of scope; release() hands the handle on, for instance to a window that took a region.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

template <typename Handle, void (*Free)(Handle)> class OwnedHandle {
  public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle handle) : held(handle) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : held(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }

    Handle get() const { return held; }
    explicit operator bool() const { return held != nullptr; }

    // Gives up ownership without freeing; the caller now answers for the handle.
    Handle release() {
        Handle handle = held;
        held = nullptr;
        return handle;
    }

    // Frees what is held and takes `handle` instead.
    void reset(Handle handle = nullptr) {
        if (held && held != handle) Free(held);
        held = handle;
    }

  private:
    Handle held = nullptr;
};

inline void freeRegion(HRGN region) {
    DeleteObject(region);
}
inline void freeMenu(HMENU menu) {
    DestroyMenu(menu);
}
inline void freeDrop(HDROP drop) {
    DragFinish(drop);
}
template <typename T> void freeHeapBlock(T* block) {
    std::free(block);
}

using OwnedRegion = OwnedHandle<HRGN, freeRegion>;
using OwnedMenu = OwnedHandle<HMENU, freeMenu>;
using OwnedDrop = OwnedHandle<HDROP, freeDrop>;
// A block from malloc or calloc.
template <typename T> using HeapBlock = OwnedHandle<T*, freeHeapBlock<T>>;

// Hands `region` to `window`, which frees it from then on; an empty owner takes the window's
// shape away. A region the window refused stays with its owner.
inline void giveRegion(HWND window, OwnedRegion* region) {
    if (SetWindowRgn(window, region->get(), FALSE)) region->release();
}
