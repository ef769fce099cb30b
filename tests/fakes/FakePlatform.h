#pragma once

#include "fakes/FakeKeyboardEventTap.h"
#include "fakes/FakeTextInputSources.h"
#include "platform/Platform.h"

#include <QCoreApplication>

namespace velmora {

// Answers what the test scripted; whenAsked runs inside each question.
class FakeAccessibilityTrust final : public AccessibilityTrust {
public:
    void setTrusted(bool trusted, QString reason = {}) { trusted_ = trusted, reason_ = std::move(reason); }
    int checkCount() const { return checkCount_; }
    std::function<void()> whenAsked;
    bool isProcessTrusted() override {
        ++checkCount_;
        if (whenAsked)
            whenAsked();
        return lastAnswer_ = trusted_;
    }
    QString untrustedReason() const override { return lastAnswer_ ? QString() : reason_; }

private:
    bool trusted_ = true, lastAnswer_ = true;
    QString reason_;
    int checkCount_ = 0;
};

// A login item kept in memory; either call can be made to fail.
class FakeLoginItemService final : public LoginItemService {
public:
    void setStatus(LoginItemStatus status) { status_ = status; }
    void failNextCalls(std::optional<Error> error) { failure_ = std::move(error); }
    int registerCalls() const { return registerCalls_; }
    int unregisterCalls() const { return unregisterCalls_; }
    LoginItemStatus status() override { return status_; }
    std::optional<Error> registerItem() override { return change(registerCalls_, LoginItemStatus::enabled); }
    std::optional<Error> unregisterItem() override {
        return change(unregisterCalls_, LoginItemStatus::notRegistered);
    }

private:
    std::optional<Error> change(int& calls, LoginItemStatus status) {
        ++calls;
        status_ = failure_ ? status_ : status;
        return failure_;
    }
    LoginItemStatus status_ = LoginItemStatus::notRegistered;
    std::optional<Error> failure_;
    int registerCalls_ = 0, unregisterCalls_ = 0;
};

// Scripted answers about the machine, and what was handed to the desktop.
class FakeMachine final : public NetworkReachability, public SystemInformation, public Workspace {
public:
    std::optional<uint32_t> flags = ReachabilityFlag::reachable;
    std::optional<QString> host = QStringLiteral("test-host"), model = QStringLiteral("Test Model 1"),
                           appId = QStringLiteral("app.velmora.Velmora");
    bool openSucceeds = true, launchSucceeds = true;
    QList<QUrl> openedUrls;
    QStringList launchedFiles, revealedFiles;

    std::optional<uint32_t> defaultRouteFlags() override { return flags; }
    std::optional<QString> hostName() override { return host; }
    std::optional<QString> hardwareModel() override { return model; }
    std::optional<QString> applicationId() override { return appId; }
    bool openURL(const QUrl& url) override { return openedUrls.append(url), openSucceeds; }
    void revealFile(const QString& filePath) override { revealedFiles.append(filePath); }
    void launchOpener(const QString& filePath, OpenerFinished finished) override {
        launchedFiles.append(filePath);
        const auto failure =
            launchSucceeds ? std::nullopt : std::optional(Error{"FakeMachine", 1, "The opener failed."});
        QMetaObject::invokeMethod(
            qApp, [finished, failure] { finished(failure); }, Qt::QueuedConnection);
    }
};

// Answers each alert with the next queued answer (the first button when none
// is queued) and records it; whileShowing runs while it is "on screen".
class ScriptedAlertPresenter final : public AlertPresenter {
public:
    void answerWith(int buttonCode) { answers_.append(buttonCode); }
    void whileShowing(std::function<void(const Alert&)> action) { whileShowing_ = std::move(action); }
    const QList<Alert>& shown() const { return shown_; }
    int runModal(const Alert& alert) override {
        shown_.append(alert);
        if (whileShowing_)
            whileShowing_(alert);
        return answers_.isEmpty() ? AlertResponse::firstButton : answers_.takeFirst();
    }

private:
    QList<int> answers_;
    QList<Alert> shown_;
    std::function<void(const Alert&)> whileShowing_;
};

// One of each fake, installed as the platform for the lifetime of the object.
struct FakePlatform {
    std::shared_ptr<FakeTextInputSources> sources = std::make_shared<FakeTextInputSources>();
    std::shared_ptr<FakeKeyboardEventTapFactory> taps = std::make_shared<FakeKeyboardEventTapFactory>();
    std::shared_ptr<FakeAccessibilityTrust> trust = std::make_shared<FakeAccessibilityTrust>();
    std::shared_ptr<FakeLoginItemService> loginItems = std::make_shared<FakeLoginItemService>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();

    FakePlatform() { install(alerts); }
    ~FakePlatform() { Platform::install({}); }
    // The alerts can be the real ones, answered by a click like a person's.
    void install(std::shared_ptr<AlertPresenter> presenter) {
        Platform::install(
            {sources, taps, trust, loginItems, machine, machine, machine, std::move(presenter)});
    }
};

} // namespace velmora
