#include "com_calls.h"

#include <cstring>
#include <vector>

#include "kx/program_calls.h"
#include "program_values.h"

namespace http_module {

namespace {

using kx::image::CoreCommand;
using kx::program::CallCore;
namespace type_word = kx::type_word;

ValueCell ObjectCell(Word object) { return ValueCell::Raw(object, 0, type_word::kComObjectType); }

// Object, member name, then the member's arguments.
ValueCell Member(CoreCommand command, Word object, const char* name,
                 std::initializer_list<ValueCell> args) {
    std::vector<ValueCell> cells = {ObjectCell(object), ValueCell::Text(name)};
    cells.insert(cells.end(), args.begin(), args.end());
    return CallCore(command, std::span<ValueCell>(cells));
}

void* ZeroedBlock(std::uint32_t size) {
    void* block = kx::program::Alloc(size);
    std::memset(block, 0, size);
    return block;
}

}  // namespace

Word NewObjectCell() { return kx::ToWord(ZeroedBlock(kx::kComObjectCellSize)); }

void FreeObjectCell(Word* object) {
    if (*object) ClearObject(*object);
    FreeValue(object);
}

bool CreateObject(Word object, const char* identifier) {
    return CallCore(CoreCommand::kCreate, {ObjectCell(object), ValueCell::Text(identifier)}).low() != 0;
}

void AssignObject(Word target, Word source) {
    CallCore(CoreCommand::kAssign, {ObjectCell(target), ObjectCell(source)});
}

void ClearObject(Word object) { CallCore(CoreCommand::kClear, {ObjectCell(object)}); }

void CallMethod(Word object, const char* name, std::initializer_list<ValueCell> args) {
    Member(CoreCommand::kCallMethod, object, name, args);
}

bool WriteProperty(Word object, const char* name, std::initializer_list<ValueCell> args) {
    return Member(CoreCommand::kWriteProperty, object, name, args).low() != 0;
}

Word ReadVariant(Word object, const char* name, std::initializer_list<ValueCell> args) {
    return Member(CoreCommand::kReadVariant, object, name, args).low();
}

Word ReadText(Word object, const char* name, std::initializer_list<ValueCell> args) {
    return Member(CoreCommand::kReadText, object, name, args).low();
}

double ReadNumber(Word object, const char* name, std::initializer_list<ValueCell> args) {
    return Member(CoreCommand::kReadNumber, object, name, args).AsDouble();
}

Word NewVariant() {
    void* variant = kx::program::Alloc(kx::kVariantSize);
    kx::InitNewVariant(variant);
    return kx::ToWord(variant);
}

bool SetVariant(Word* variant, const ValueCell& value) {
    return CallCore(CoreCommand::kSetVariant,
                    {ValueCell::Reference(variant, type_word::kVariantType), value})
               .low() != 0;
}

Word VariantToBytes(Word variant) {
    return CallCore(CoreCommand::kVariantToBytes,
                    {ValueCell::Raw(variant, 0, type_word::kVariantType)})
        .low();
}

void FreeVariant(Word* variant) {
    if (*variant) {
        CallCore(CoreCommand::kClearVariant, {ValueCell::Reference(variant, type_word::kVariantType)});
    }
    FreeValue(variant);
}

}  // namespace http_module
