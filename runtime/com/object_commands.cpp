// Clear, Create and Assign: filling and emptying a ComObject variable's cell. They leave
// the thread's failure code alone.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "arguments.h"
#include "com_cells.h"
#include "com_refs.h"
#include "core_commands.h"
#include "text936.h"
#include "variant_conversion.h"

namespace kx::commands {

namespace {

constexpr DWORD kAnyServerContext = 0x17;  // in-process server and handler, local, remote
constexpr DWORD kLocalServerContext = 0x07;

// An instance of the type named `identifier` in the type library at `path`; the library
// is registered when the instance was made from a full path.
IUnknown* CreateFromTypeLibrary(std::string_view identifier, std::string_view path) {
    std::wstring widePath = WidenCp936(path);
    com::Held<ITypeLib> library;
    if (FAILED(LoadTypeLib(widePath.c_str(), library.out())) || !library.get()) return nullptr;
    std::wstring name = WidenCp936(identifier);
    if (name.empty()) return nullptr;
    const ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), name.c_str());
    ITypeInfo* found[1] = {};
    MEMBERID member[1] = {};
    USHORT foundCount = 1;
    if (FAILED(library->FindName(name.data(), hash, found, member, &foundCount))) return nullptr;
    com::Held<ITypeInfo> info(found[0]);
    if (foundCount != 1 || !info.get()) return nullptr;
    IUnknown* instance = nullptr;
    if (FAILED(info->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&instance)))) {
        return nullptr;
    }
    if (instance && path.find('\\') != std::string_view::npos) {
        RegisterTypeLib(library.get(), widePath.data(), nullptr);
    }
    return instance;
}

IUnknown* CreateFromClassIdentifier(std::string_view identifier) {
    std::wstring wide = WidenCp936(identifier);
    CLSID classId{};
    const HRESULT parsed = identifier.starts_with('{') ? CLSIDFromString(wide.data(), &classId)
                                                       : CLSIDFromProgID(wide.c_str(), &classId);
    if (FAILED(parsed)) return nullptr;
    IUnknown* instance = nullptr;
    HRESULT created = CoCreateInstance(classId, nullptr, kAnyServerContext, IID_IUnknown,
                                       reinterpret_cast<void**>(&instance));
    if (created == E_INVALIDARG) {
        created = CoCreateInstance(classId, nullptr, kLocalServerContext, IID_IUnknown,
                                   reinterpret_cast<void**>(&instance));
    }
    return SUCCEEDED(created) ? instance : nullptr;
}

}  // namespace

void Clear(ValueCell*, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    com::ClearObjectCell(com::ObjectCellOf(in[0]));
}

void Create(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::Logical(false);
    ComObjectCell* cell = com::ObjectCellOf(in[0]);
    if (!cell) return;
    const std::string_view identifier = in.Text(1);
    IUnknown* instance = nullptr;
    if (!identifier.starts_with('{') && in.count() >= 3 && !in.Text(2).empty()) {
        instance = CreateFromTypeLibrary(identifier, in.Text(2));
    }
    if (!instance) instance = CreateFromClassIdentifier(identifier);
    if (!instance) return;
    com::Held<IUnknown> created(instance);
    // An object the cell's word cannot hold fails like one that could not be made.
    if (FAILED(OleRun(instance)) || !FitsWord(instance)) return;
    com::ClearObjectCell(cell);
    cell->object = ToWord(created.release());
    *result = ValueCell::Logical(true);
}

void Assign(ValueCell*, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    ComObjectCell* target = com::ObjectCellOf(in[0]);
    if (!target) return;
    const ComObjectCell* source = com::ObjectCellOf(in[1]);
    auto* unknown = source ? FromWord<IUnknown*>(source->object) : nullptr;
    if (unknown) unknown->AddRef();
    target->object = unknown ? source->object : 0;
    target->record = 0;
}

}  // namespace kx::commands
