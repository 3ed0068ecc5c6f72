#include "private_network.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

namespace qz7::test {

bool insidePrivateNetwork() { return qEnvironmentVariable("QZ7_TEST_NETNS") == QLatin1String("1"); }

void runInPrivateNetwork(const QString& setup) {
    if (QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("-m"), QStringLiteral("true")}) != 0)
        GTEST_SKIP() << "cannot make a private network namespace here (needs root and unshare); "
                        "this test never runs outside one";
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("%1.%2").arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()));
    // unshare makes the mount namespace private: bind mounts stay inside.
    const QString script = QStringLiteral("ip link set lo up && %1 QZ7_TEST_NETNS=1 exec \"$0\" --gtest_filter=\"$1\"")
                               .arg(setup.isEmpty() ? QString() : setup + QStringLiteral(" &&"));
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("-m"), QStringLiteral("sh"),
                                            QStringLiteral("-c"), script, QCoreApplication::applicationFilePath(), filter});
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << "the run inside the namespace failed (its output is above)";
}

}  // namespace qz7::test
