#include "server/flrig_service.h"

#include <array>
#include <cmath>
#include <xmlrpc-c/base.hpp>
#include <xmlrpc-c/registry.hpp>
#include <xmlrpc-c/xml.hpp>

#include "protocol/requests.h"
#include "server/http_framing.h"
#include "server/share_caps.h"

namespace kestrel {

namespace {

using xmlrpc_c::fault;
using xmlrpc_c::value;

// Tells a method which client called.
struct ClientInfo : xmlrpc_c::callInfo {
    explicit ClientInfo(uint64_t id) : client(id) {}
    uint64_t client;
};

struct FlrigCall {
    ShareContext& context;
    uint64_t client;
    const xmlrpc_c::paramList& params;

    RadioAccess& Radio() { return context.radio; }
};

using Handler = value (*)(FlrigCall&);

struct FlrigMethod {
    std::string_view name;
    const char* signature;  // xmlrpc-c's notation: result, ":", parameters
    bool needsRadio;        // refused with a fault while the radio is not connected
    Handler run;
};

[[noreturn]] void BadArgument(std::string_view what) {
    throw fault("bad argument: " + std::string(what), fault::CODE_TYPE);
}

void Check(bool posted) {
    if (!posted) {
        throw fault("the radio did not take the command", fault::CODE_REQUEST_REFUSED);
    }
}

// Clients send numbers as int, i8, double or text; all are taken.
double NumberParam(FlrigCall& c, unsigned index) {
    if (c.params.size() <= index) {
        BadArgument("a number is missing");
    }
    const value param = c.params[index];
    switch (param.type()) {
        case value::TYPE_INT:
            return static_cast<int>(xmlrpc_c::value_int(param));
        case value::TYPE_I8:
            return static_cast<double>(static_cast<xmlrpc_int64>(xmlrpc_c::value_i8(param)));
        case value::TYPE_DOUBLE:
            return static_cast<double>(xmlrpc_c::value_double(param));
        case value::TYPE_BOOLEAN:
            return static_cast<bool>(xmlrpc_c::value_boolean(param)) ? 1.0 : 0.0;
        case value::TYPE_STRING: {
            const std::string text = static_cast<std::string>(xmlrpc_c::value_string(param));
            char* end = nullptr;
            const double number = std::strtod(text.c_str(), &end);
            if (!text.empty() && end == text.c_str() + text.size() && std::isfinite(number)) {
                return number;
            }
            break;
        }
        default:
            break;
    }
    BadArgument("not a number");
}

std::string StringParam(FlrigCall& c, unsigned index) {
    if (c.params.size() <= index || c.params[index].type() != value::TYPE_STRING) {
        BadArgument("a text is missing");
    }
    return static_cast<std::string>(xmlrpc_c::value_string(c.params[index]));
}

bool SwitchParam(FlrigCall& c) {
    const double on = NumberParam(c, 0);
    if (on != 0.0 && on != 1.0) {
        BadArgument("0 or 1 expected");
    }
    return on == 1.0;
}

uint64_t FrequencyParam(FlrigCall& c) {
    const int64_t hertz = std::llround(NumberParam(c, 0));
    if (hertz < FieldMin(Field::FA) || hertz > FieldMax(Field::FA)) {
        BadArgument("frequency out of range");
    }
    return static_cast<uint64_t>(hertz);
}

Vfo CurrentVfo(RadioAccess& radio) {
    return ReceiveVfo(radio);
}

value Text(std::string_view text) {
    return xmlrpc_c::value_string(std::string(text));
}

value Int(int32_t number) {
    return xmlrpc_c::value_int(number);
}

// Setters answer with an empty text, as the interface's clients expect nothing from them.
value Nothing() {
    return Text("");
}

value Frequency(RadioAccess& radio, Vfo vfo) {
    return Text(std::to_string(FrequencyOf(radio, vfo)));
}

// Meter readings as the interface gives them: 0 to 100.
int32_t Percent(int32_t raw) {
    return static_cast<int32_t>(std::lround(raw * 100.0 / 255.0));
}

const ShareMode& CurrentMode(RadioAccess& radio) {
    const ShareMode* mode = ModeOf(radio, CurrentVfo(radio));
    if (mode == nullptr) {
        throw fault("the radio reports no mode", fault::CODE_REQUEST_REFUSED);
    }
    return *mode;
}

value SetBandwidth(FlrigCall& c) {
    const ShareMode& mode = CurrentMode(c.Radio());
    const int32_t width = static_cast<int32_t>(std::lround(NumberParam(c, 0)));
    if (width != mode.normalPassband && width != mode.narrowPassband) {
        BadArgument("not a bandwidth of the mode");
    }
    // NAR can only be toggled: it is toggled when the width asked for is the other one.
    const bool narrow = c.Radio().Read(Field::NA0) != 0;
    const int32_t current = narrow ? mode.narrowPassband : mode.normalPassband;
    if (width != current) {
        Check(c.Radio().Request(kReqNarrowToggle, 0, 0));
    }
    return Nothing();
}

value Bandwidths(FlrigCall& c) {
    const ShareMode& mode = CurrentMode(c.Radio());
    std::vector<value> widths{Text("Bandwidth"), Text(std::to_string(mode.narrowPassband))};
    if (mode.normalPassband != mode.narrowPassband) {
        widths.push_back(Text(std::to_string(mode.normalPassband)));
    }
    return xmlrpc_c::value_array(std::vector<value>{xmlrpc_c::value_array(widths)});
}

value Info(FlrigCall& c) {
    RadioAccess& radio = c.Radio();
    const ShareMode* main = ModeOf(radio, Vfo::A);
    const ShareMode* sub = ModeOf(radio, Vfo::B);
    const auto passband = CurrentPassband(radio, Vfo::A);
    std::string info = "R:Kestrel\n";
    info += std::string("T:") + (CurrentVfo(radio) == Vfo::A ? "A" : "B") + "\n";
    info += "FA:" + std::to_string(radio.Read(Field::FA)) + "\n";
    info += "M1:" + std::string(main != nullptr ? main->flrig : "") + "\n";
    info += "U1:" + (passband ? std::to_string(*passband) : std::string()) + "\n";
    info += "FB:" + std::to_string(radio.Read(Field::FB)) + "\n";
    info += "M2:" + std::string(sub != nullptr ? sub->flrig : "") + "\n";
    info += "PTT:" + std::to_string(radio.Read(Field::TX) != 0 ? 1 : 0) + "\n";
    info += "SPLIT:" + std::to_string(SplitOn(radio) ? 1 : 0);
    return Text(info);
}

value CatString(FlrigCall& c) {
    if (!c.context.allowRaw) {
        throw fault("raw commands are switched off (--allow-raw)", fault::CODE_REQUEST_REFUSED);
    }
    switch (c.Radio().QueueRaw(StringParam(c, 0))) {
        case RawResult::Queued:
            // The radio's answer, if any, reaches the store, not this call.
            return Nothing();
        case RawResult::Empty:
        case RawResult::TooLong:
            BadArgument("the command is empty or too long");
        case RawResult::RingFull:
        case RawResult::NotRunning:
            break;
    }
    throw fault("the radio did not take the command", fault::CODE_REQUEST_REFUSED);
}

// clang-format off
const std::array<FlrigMethod, 28> kFlrigMethods = {{
    {"main.get_version", "s:",  false, [](FlrigCall&) { return Text(kFlrigInterfaceVersion); }},
    {"rig.get_xcvr",     "s:",  false, [](FlrigCall&) { return Text("Kestrel"); }},
    {"rig.get_info",     "s:",  true,  Info},
    {"rig.get_vfo",      "s:",  true,  [](FlrigCall& c) { return Frequency(c.Radio(), CurrentVfo(c.Radio())); }},
    {"rig.set_vfo",      "s:d", true,  [](FlrigCall& c) { Check(c.Radio().SetFrequency(CurrentVfo(c.Radio()), FrequencyParam(c))); return Nothing(); }},
    {"rig.set_frequency","s:d", true,  [](FlrigCall& c) { Check(c.Radio().SetFrequency(CurrentVfo(c.Radio()), FrequencyParam(c))); return Nothing(); }},
    {"rig.get_vfoA",     "s:",  true,  [](FlrigCall& c) { return Frequency(c.Radio(), Vfo::A); }},
    {"rig.get_vfoB",     "s:",  true,  [](FlrigCall& c) { return Frequency(c.Radio(), Vfo::B); }},
    {"rig.set_vfoA",     "s:d", true,  [](FlrigCall& c) { Check(c.Radio().SetFrequency(Vfo::A, FrequencyParam(c))); return Nothing(); }},
    {"rig.set_vfoB",     "s:d", true,  [](FlrigCall& c) { Check(c.Radio().SetFrequency(Vfo::B, FrequencyParam(c))); return Nothing(); }},
    {"rig.get_mode",     "s:",  true,  [](FlrigCall& c) { return Text(CurrentMode(c.Radio()).flrig); }},
    {"rig.set_mode",     "s:s", true,  [](FlrigCall& c) {
         const ShareMode* mode = ShareModeByFlrig(StringParam(c, 0));
         if (mode == nullptr) { BadArgument("unknown mode"); }
         Check(c.Radio().SetMode(mode->code, CurrentVfo(c.Radio())));
         return Nothing(); }},
    {"rig.get_modes",    "A:",  false, [](FlrigCall&) {
         std::vector<value> names;
         for (const ShareMode& mode : kShareModes) { names.push_back(Text(mode.flrig)); }
         return value(xmlrpc_c::value_array(names)); }},
    {"rig.get_bw",       "A:",  true,  [](FlrigCall& c) {
         const auto passband = CurrentPassband(c.Radio(), CurrentVfo(c.Radio()));
         return value(xmlrpc_c::value_array(std::vector<value>{
             Text(passband ? std::to_string(*passband) : std::string()), Text("")})); }},
    {"rig.set_bw",       "s:i", true,  SetBandwidth},
    {"rig.get_bws",      "A:",  true,  Bandwidths},
    {"rig.get_ptt",      "i:",  true,  [](FlrigCall& c) { return Int(c.Radio().Read(Field::TX) != 0 ? 1 : 0); }},
    {"rig.set_ptt",      "s:i", true,  [](FlrigCall& c) { Check(c.context.SetTransmit(c.client, SwitchParam(c))); return Nothing(); }},
    {"rig.get_split",    "i:",  true,  [](FlrigCall& c) { return Int(SplitOn(c.Radio()) ? 1 : 0); }},
    {"rig.set_split",    "s:i", true,  [](FlrigCall& c) { Check(SetSplit(c.Radio(), ReceiveVfo(c.Radio()), SwitchParam(c))); return Nothing(); }},
    {"rig.get_AB",       "s:",  true,  [](FlrigCall& c) { return Text(CurrentVfo(c.Radio()) == Vfo::A ? "A" : "B"); }},
    {"rig.set_AB",       "s:s", true,  [](FlrigCall& c) {
         const std::string vfo = StringParam(c, 0);
         if (vfo != "A" && vfo != "B") { BadArgument("A or B expected"); }
         Check(c.Radio().SetActiveVfo(vfo == "A" ? Vfo::A : Vfo::B));
         return Nothing(); }},
    {"rig.get_smeter",   "i:",  true,  [](FlrigCall& c) { return Int(Percent(c.Radio().Read(Field::SM0))); }},
    {"rig.get_pwrmeter", "i:",  true,  [](FlrigCall& c) {
         // The upper meter shows the output power while transmitting.
         RadioAccess& r = c.Radio();
         return Int(r.Read(Field::TX) != 0 ? Percent(r.Read(Field::RM0)) : 0); }},
    {"rig.get_swrmeter", "i:",  true,  [](FlrigCall& c) {
         const auto raw = LowerMeter(c.Radio(), kMeterSwr);
         return Int(raw ? Percent(*raw) : 0); }},
    {"rig.get_power",    "i:",  true,  [](FlrigCall& c) { return Int(c.Radio().Read(Field::PC)); }},
    {"rig.set_power",    "s:i", true,  [](FlrigCall& c) {
         const double watts = std::round(NumberParam(c, 0));
         if (watts < kMinPowerWatts || watts > kMaxPowerWatts) { BadArgument("power out of range"); }
         Check(c.Radio().Request(kReqPowerLevel, 0, static_cast<int32_t>(watts)));
         return Nothing(); }},
    {"rig.cat_string",   "s:s", true,  CatString},
}};
// clang-format on

class MethodAdapter : public xmlrpc_c::method2 {
  public:
    MethodAdapter(ShareContext& context, const FlrigMethod& method)
        : context_(context), method_(method) {
        _signature = method.signature;
    }

    void execute(const xmlrpc_c::paramList& params, const xmlrpc_c::callInfo* info,
                 value* result) override {
        const auto* client = dynamic_cast<const ClientInfo*>(info);
        if (method_.needsRadio && !context_.radio.IsConnected()) {
            throw fault("the radio is not connected", fault::CODE_REQUEST_REFUSED);
        }
        FlrigCall call{context_, client != nullptr ? client->client : 0, params};
        *result = method_.run(call);
    }

  private:
    ShareContext& context_;
    const FlrigMethod& method_;
};

}  // namespace

struct FlrigService::Impl {
    explicit Impl(ShareContext& c) : context(c) {}
    ShareContext& context;
    xmlrpc_c::registry registry;
};

FlrigService::FlrigService(ShareContext& context) : impl_(std::make_unique<Impl>(context)) {
    // The library refuses documents past its size limit; no request body can be larger.
    xmlrpc_limit_set(XMLRPC_XML_SIZE_LIMIT_ID, kMaxHttpBodyBytes);
    for (const FlrigMethod& method : kFlrigMethods) {
        impl_->registry.addMethod(std::string(method.name),
                                  xmlrpc_c::methodPtr(new MethodAdapter(context, method)));
    }
}

FlrigService::~FlrigService() = default;

std::string FlrigService::Call(std::string_view callXml, uint64_t client) {
    const ClientInfo info(client);
    std::string response;
    try {
        impl_->registry.processCall(std::string(callXml), &info, &response);
    } catch (const std::exception& e) {
        response.clear();
        xmlrpc_c::xml::generateResponse(xmlrpc_c::rpcOutcome(fault(e.what(), fault::CODE_INTERNAL)),
                                        &response);
    }
    return response;
}

}  // namespace kestrel
