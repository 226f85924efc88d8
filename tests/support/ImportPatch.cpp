// Replaces one imported platform function of the test executable for the life of an object.
#include "ImportPatch.h"

#include <stdio.h>
#include <stdlib.h>

namespace Testing {

namespace {

void WriteSlot(void** slot, void* value)
{
    DWORD old = 0;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof(*slot), old, &old);
}

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, const void* replacement)
    : slots(), slotCount(0), original(nullptr)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const IMAGE_IMPORT_DESCRIPTOR* descriptor =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; descriptor->Name; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0)
            continue;
        const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        IMAGE_THUNK_DATA* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            if (slotCount == MaxSlots)
                break;
            void** slot = reinterpret_cast<void**>(&addresses->u1.Function);
            original = *slot;
            slots[slotCount++] = slot;
            WriteSlot(slot, const_cast<void*>(replacement));
        }
    }
    if (slotCount == 0) {
        // A test that patches nothing would test nothing: stop loudly.
        fprintf(stderr, "ImportPatch: %s!%s is not imported by the test executable\n", dll, function);
        abort();
    }
}

ImportPatch::~ImportPatch()
{
    for (int i = 0; i < slotCount; ++i)
        WriteSlot(slots[i], original);
}

}  // namespace Testing
