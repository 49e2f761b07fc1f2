#include "server/flrig_service.h"

#include <gtest/gtest.h>

#include <tuple>
#include <xmlrpc-c/base.hpp>
#include <xmlrpc-c/xml.hpp>

#include "fake_radio.h"

namespace kestrel {
namespace {

class FlrigServiceTest : public ::testing::Test {
  protected:
    // Calls a method and returns its result, or the fault's text prefixed with "fault ".
    std::string Call(const std::string& method, const xmlrpc_c::paramList& params = {}) {
        std::string call;
        xmlrpc_c::xml::generateCall(method, params, &call);
        return Outcome(service_.Call(call, 3));
    }
    static std::string Outcome(const std::string& response) {
        xmlrpc_c::rpcOutcome outcome;
        xmlrpc_c::xml::parseResponse(response, &outcome);
        if (!outcome.succeeded()) {
            return "fault " + outcome.getFault().getDescription();
        }
        const xmlrpc_c::value result = outcome.getResult();
        switch (result.type()) {
            case xmlrpc_c::value::TYPE_STRING:
                return static_cast<std::string>(xmlrpc_c::value_string(result));
            case xmlrpc_c::value::TYPE_INT:
                return "int " + std::to_string(static_cast<int>(xmlrpc_c::value_int(result)));
            case xmlrpc_c::value::TYPE_ARRAY: {
                std::string items = "[";
                for (const auto& item : xmlrpc_c::value_array(result).vectorValueValue()) {
                    items += item.type() == xmlrpc_c::value::TYPE_STRING
                                 ? static_cast<std::string>(xmlrpc_c::value_string(item)) + " "
                                 : "[...] ";
                }
                return items + "]";
            }
            default:
                return "other";
        }
    }

    FakeRadio radio_;
    TransmitWatchdog watchdog_;
    ShareContext context_{radio_, watchdog_, false, [] { return int64_t{0}; }};
    FlrigService service_{context_};
};

xmlrpc_c::paramList Params(const xmlrpc_c::value& v) {
    xmlrpc_c::paramList params;
    params.add(v);
    return params;
}

TEST_F(FlrigServiceTest, ReadsTheStoreAndPassesSettingsOn) {
    radio_.Set(Field::SM0, 255);
    radio_.Set(Field::FT, 1);
    EXPECT_EQ(Call("rig.get_vfo"), "14074000");
    EXPECT_EQ(Call("rig.get_vfoB"), "7050000");
    EXPECT_EQ(Call("rig.get_mode"), "USB");
    EXPECT_EQ(Call("rig.get_bw"), "[2400  ]");
    EXPECT_EQ(Call("rig.get_bws"), "[[...] ]");
    EXPECT_EQ(Call("rig.get_smeter"), "int 100");
    EXPECT_EQ(Call("rig.get_split"), "int 1");
    EXPECT_EQ(Call("rig.get_AB"), "A");
    EXPECT_EQ(Call("rig.get_power"), "int 100");
    EXPECT_EQ(Call("main.get_version"), "1.4.0");
    EXPECT_EQ(Call("rig.set_vfoB", Params(xmlrpc_c::value_double(7074000.0))), "");
    EXPECT_EQ(Call("rig.set_frequency", Params(xmlrpc_c::value_string("3573000"))), "");
    EXPECT_EQ(Call("rig.set_mode", Params(xmlrpc_c::value_string("PKT-U"))), "");
    EXPECT_EQ(Call("rig.set_bw", Params(xmlrpc_c::value_int(1800))), "");
    EXPECT_EQ(Call("rig.set_power", Params(xmlrpc_c::value_int(50))), "");
    EXPECT_EQ(Call("rig.set_ptt", Params(xmlrpc_c::value_int(1))), "");
    EXPECT_EQ(Call("rig.set_AB", Params(xmlrpc_c::value_string("B"))), "");
    EXPECT_EQ(radio_.TakeCalls(),
              (std::vector<std::string>{"freq B 7074000", "freq A 3573000", "mode A 12",
                                        "request 29 0 0", "request 107 0 50", "tx on", "vfo B"}));
    EXPECT_EQ(watchdog_.KeyingClient(), 3u);
}

TEST_F(FlrigServiceTest, BadCallsGetFaultsAndChangeNothing) {
    const std::vector<std::tuple<std::string, xmlrpc_c::paramList, std::string>> calls = {
        {"rig.set_vfoA", {}, "fault bad argument: a number is missing"},
        {"rig.set_vfoA", Params(xmlrpc_c::value_string("fast")),
         "fault bad argument: not a number"},
        {"rig.set_vfoA", Params(xmlrpc_c::value_double(1e30)), "fault bad argument"},
        {"rig.set_mode", Params(xmlrpc_c::value_string("SSB")), "fault bad argument: unknown mode"},
        {"rig.set_mode", Params(xmlrpc_c::value_int(2)), "fault bad argument: a text is missing"},
        {"rig.set_bw", Params(xmlrpc_c::value_int(1234)), "fault "},
        {"rig.set_ptt", Params(xmlrpc_c::value_int(7)), "fault bad argument: 0 or 1 expected"},
        {"rig.set_AB", Params(xmlrpc_c::value_string("C")), "fault "},
        {"rig.set_power", Params(xmlrpc_c::value_int(101)), "fault "},
        {"rig.cat_string", Params(xmlrpc_c::value_string("FA;")),
         "fault raw commands are switched off"},
        {"rig.no_such_method", {}, "fault "},
    };
    for (const auto& [method, params, fault] : calls) {
        EXPECT_TRUE(Call(method, params).starts_with(fault))
            << method << ": " << Call(method, params);
    }
    for (const std::string& document :
         {std::string("<?xml version=\"1.0\"?><methodCall><methodName>rig.get_vfo"),
          std::string("not xml at all"), std::string(""),
          std::string("<methodCall><methodName>rig.get_vfo</methodName><params><param><value>"
                      "<array><data>" +
                      std::string(200, '[') + "</data></array>")}) {
        EXPECT_TRUE(Outcome(service_.Call(document, 3)).starts_with("fault ")) << document;
    }
    radio_.connected = false;
    EXPECT_EQ(Call("rig.get_vfo"), "fault the radio is not connected");
    EXPECT_EQ(Call("rig.get_mode"), "fault the radio is not connected");
    EXPECT_EQ(Call("rig.get_xcvr"), "Kestrel");
    EXPECT_TRUE(radio_.TakeCalls().empty());
}

TEST_F(FlrigServiceTest, ListsItsMethodsAndPassesRawCommandsOnlyWhenAllowed) {
    const std::string listing = Call("system.listMethods");
    for (const char* method :
         {"rig.get_vfo", "rig.set_split", "rig.cat_string", "main.get_version"}) {
        EXPECT_NE(listing.find(method), std::string::npos) << method;
    }
    context_.allowRaw = true;
    EXPECT_EQ(Call("rig.cat_string", Params(xmlrpc_c::value_string("FA14250000;"))), "");
    EXPECT_EQ(Call("rig.cat_string", Params(xmlrpc_c::value_string(""))),
              "fault bad argument: the command is empty or too long");
    EXPECT_EQ(radio_.TakeCalls(), (std::vector<std::string>{"raw FA14250000;", "raw "}));
}

}  // namespace
}  // namespace kestrel
