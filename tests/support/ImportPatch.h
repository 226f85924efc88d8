// Replaces one imported platform function of the test executable for the life of an object.
#pragma once

#include <windows.h>

namespace Testing {

// Rewrites every import-table slot of the running executable that names
// `function` of `dll`, and puts the original back in the destructor. Product
// code linked into the test executable calls through these slots, so this
// reaches failures that the platform will not produce on demand.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, const void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // The function that the slots held before, to call from a replacement.
    template <typename Function>
    Function Original() const
    {
        return reinterpret_cast<Function>(original);
    }

private:
    static const int MaxSlots = 8;
    void** slots[MaxSlots];
    int slotCount;
    void* original;
};

// Convenience: ImportPatch with the replacement's type checked against the original.
template <typename Function>
class Replace : public ImportPatch {
public:
    // cppcheck-suppress cstyleCast
    Replace(const char* dll, const char* function, Function replacement)
        : ImportPatch(dll, function, reinterpret_cast<const void*>(replacement))
    {
    }
    Function Original() const { return ImportPatch::Original<Function>(); }
};

}  // namespace Testing
