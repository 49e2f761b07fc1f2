#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "protocol/cat_catalogue.h"
#include "protocol/control_mirror.h"
#include "protocol/requests.h"

namespace kestrel {

// How a request turns its value and VFO bit into a command.
enum class RequestForm : uint8_t {
    Fixed,           // text is the whole command
    Field,           // text, F(width, v), tail
    SelectorField,   // text, the VFO digit, F(width, v), tail
    SelectorFixed,   // text, the VFO digit, tail
    Choice,          // text, then the character tail[v] for v in 0..tail.size()-1, else nothing
    SelectorChoice,  // text, the VFO digit, then tail[v] as for Choice
    Toggle,          // text, then the toggled control-mirror value `toggle`
    SelectorToggle,  // text, the VFO digit, then the toggled value of receiver s: `toggle` for
                     // the main receiver, the mirror value after it for the sub receiver
    Own,             // built by the request's own handler
};

// One request's command form.
struct RequestCommand {
    int number;
    RequestForm form;
    std::string_view text;
    int width;
    std::string_view tail;
    Mirror toggle;  // Mirror::Count for a request that toggles nothing
};

// The command form of every request 1 to 153, in request order.
extern const std::array<RequestCommand, kRequestCount> RequestCommandTable;

// Returns the control-mirror value a toggle request reads for the receiver, or Mirror::Count.
Mirror ToggledMirror(const RequestCommand& row, bool vfoB);

// Returns the command form of request `number` (1 to 153).
const RequestCommand& RequestCommandOf(int number);

// Writes `value` right-aligned into a field of `width` characters filled with "0"; a negative
// value or one with more digits than the field leaves the field all "0".
void WriteField(char* field, int width, int64_t value);

// Returns the toggled parameter digit for a mirror value: '1' for 0, '0' for 1, 0 for any other.
char ToggledDigit(int32_t mirrorValue);

// Builds the command of a request whose form is not Own. mirrorValue is the control-mirror value
// a toggle reads. Returns length 0 when the request sends nothing for these arguments.
CatCommand BuildRequestCommand(const RequestCommand& row, bool vfoB, int32_t value,
                               int32_t mirrorValue);

// Builds text, F(width, value), tail and ";" (a field of width 0 is no field).
CatCommand BuildFieldCommand(std::string_view text, int width, int64_t value,
                             std::string_view tail = {});

// Builds a whole command text given with its ";".
CatCommand BuildFixedCommand(std::string_view text);

}  // namespace kestrel
