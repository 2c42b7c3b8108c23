// What the full lookup of every member call costs: ReadNumber of the dictionary object's
// Count through the command (IDispatch, type information, Bind and conversions on every
// call) against IDispatch::Invoke of the same member with a DISPID looked up once.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>

#include "core_commands.h"
#include "failure_code.h"
#include "kx/com_values.h"
#include "memory.h"
#include "stopwatch.h"

namespace {

using kx::ValueCell;
using kx::bench::SteadySeconds;

constexpr int kCalls = 20000;

double CommandSeconds(ValueCell object, double* sum) {
    ValueCell args[] = {object, ValueCell::Text("Count")};
    ValueCell result;
    const double start = SteadySeconds();
    for (int i = 0; i < kCalls; ++i) {
        kx::commands::ReadNumber(&result, 2, args);
        *sum += result.AsDouble();
    }
    return SteadySeconds() - start;
}

double DirectSeconds(IDispatch* dispatch, DISPID count, double* sum) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const double start = SteadySeconds();
    for (int i = 0; i < kCalls; ++i) {
        VARIANT result;
        VariantInit(&result);
        dispatch->Invoke(count, IID_NULL, GetUserDefaultLCID(), DISPATCH_PROPERTYGET, &none, &result,
                         nullptr, nullptr);
        VariantChangeType(&result, &result, 0, VT_R8);
        *sum += V_R8(&result);
        VariantClear(&result);
    }
    return SteadySeconds() - start;
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto* cell = static_cast<kx::ComObjectCell*>(kx::RtAlloc(kx::kComObjectCellSize));
    *cell = {};
    ValueCell object = ValueCell::Raw(kx::ToWord(cell), 0, kx::type_word::kComObjectType);
    ValueCell createArgs[] = {object, ValueCell::Text("Scripting.Dictionary")};
    ValueCell created;
    kx::commands::Create(&created, 2, createArgs);
    if (created.low() != 1) {
        std::printf("the dictionary object cannot be created here\n");
        return 1;
    }
    ValueCell addArgs[] = {object, ValueCell::Text("Add"), ValueCell::Text("k"), ValueCell::Integer(1)};
    kx::commands::CallMethod(&created, 4, addArgs);

    IDispatch* dispatch = nullptr;
    kx::FromWord<IUnknown*>(cell->object)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    OLECHAR name[] = L"Count";
    LPOLESTR names[] = {name};
    DISPID count = DISPID_UNKNOWN;
    dispatch->GetIDsOfNames(IID_NULL, names, 1, GetUserDefaultLCID(), &count);

    double commandSum = 0;
    double directSum = 0;
    CommandSeconds(object, &commandSum);  // warm-up of both paths
    DirectSeconds(dispatch, count, &directSum);
    commandSum = directSum = 0;
    const double command = CommandSeconds(object, &commandSum);
    const double direct = DirectSeconds(dispatch, count, &directSum);
    std::printf("ReadNumber(Count): %.2f us per call; cached-DISPID Invoke: %.2f us per call; "
                "the command takes %.1f times as long (code %d, sums %.0f/%.0f)\n",
                command / kCalls * 1e6, direct / kCalls * 1e6, command / direct,
                kx::com::ThreadComFailure(), commandSum, directSum);
    dispatch->Release();
    ValueCell clearArgs[] = {object};
    kx::commands::Clear(nullptr, 1, clearArgs);
    kx::RtFree(cell);
    CoUninitialize();
    return 0;
}
