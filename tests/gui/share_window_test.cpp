#include <QtCore/qtestsupport_core.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <tuple>

#include "app_window_fixture.h"
#include "option_test_support.h"
#include "options/share_dlg.h"
#include "platform/paths.h"
#include "window/radio_sharing.h"

namespace kestrel::testing {
namespace {

class ShareWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        sharing.SetWindow(window.get());
        window->SetSharing(&sharing);
        share = std::make_unique<CShareDlg>(window.get(), *window);
    }
    void TearDown() override {
        share.reset();
        sharing.Stop();
        MainWindowTest::TearDown();
    }
    template <class W>
    W* Child(int index) {
        return share->findChildren<W*>().at(index);
    }
    // Handles events until the title holds the text (at most five seconds).
    bool AwaitTitle(const QString& text) {
        return QTest::qWaitFor([&] { return window->windowTitle().contains(text); });
    }
    QPushButton* ApplyButton() {
        return share->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply);
    }

    RadioSharing sharing;
    std::unique_ptr<CShareDlg> share;
    WorkingFolder folder_;
};

TEST_F(ShareWindowTest, SwitchesTheServerOnShowsTheClientAndRemembersTheChoice) {
    share->Open();
    EXPECT_EQ(share->StatusText(), "The radio is not shared.");
    ClickOn(Child<QCheckBox>(0));
    Child<QLineEdit>(0)->clear();
    TypeInto(Child<QLineEdit>(0), "127.0.0.1:0");
    ClickOn(ApplyButton());
    ASSERT_NE(sharing.RigctlPort(), 0);
    EXPECT_TRUE(share->StatusText().startsWith(
        QStringLiteral("rigctld on port %1: shared with 0 programs").arg(sharing.RigctlPort())));

    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(sharing.RigctlPort());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(AwaitTitle("TRN for Kestrel - shared with 1 program"));
    ::close(client);
    EXPECT_TRUE(AwaitTitle("shared with 0 programs"));

    const ShareSettings saved = ReadShareSettings();
    EXPECT_EQ(std::tuple(saved.rigctlOn, saved.xmlrpcOn, saved.rigctl.port),
              std::tuple(true, false, 0));

    ClickOn(Child<QCheckBox>(0));
    ClickOn(ApplyButton());
    EXPECT_EQ(sharing.RigctlPort(), 0);
    EXPECT_EQ(window->windowTitle(), "TRN for Kestrel");
    EXPECT_FALSE(ReadShareSettings().rigctlOn);
}

TEST_F(ShareWindowTest, ABadAddressIsRefusedAndChangesNothing) {
    share->Open();
    ClickOn(Child<QCheckBox>(1));
    Child<QLineEdit>(1)->clear();
    TypeInto(Child<QLineEdit>(1), "radio:12345");
    ClickOn(ApplyButton());
    EXPECT_EQ(sharing.XmlrpcPort(), 0);
    EXPECT_FALSE(std::filesystem::exists(ShareSettingsPath()));
    EXPECT_EQ(share->findChildren<QLabel*>().last()->text(), "'radio' is not a numeric address");
}

}  // namespace
}  // namespace kestrel::testing
