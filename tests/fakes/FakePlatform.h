#pragma once

#include "fakes/FakeFocusedApplication.h"
#include "fakes/FakeKeyboardEventTap.h"
#include "fakes/FakeTextInputSources.h"
#include "platform/Platform.h"

#include <QCoreApplication>

namespace velmora {

// Answers what the test scripted; whenAsked runs inside each question.
struct FakeAccessibilityTrust final : AccessibilityTrust {
    bool trusted = true, lastAnswer = true;
    UntrustedReason reason;
    std::function<void()> whenAsked;
    void setTrusted(bool yes, UntrustedReason why = {}) { trusted = yes, reason = std::move(why); }
    bool isProcessTrusted() override {
        if (whenAsked)
            whenAsked();
        return lastAnswer = trusted;
    }
    UntrustedReason untrustedReason() const override { return lastAnswer ? UntrustedReason() : reason; }
};

// A login item kept in memory; while `failure` is set, every change fails with it.
struct FakeLoginItemService final : LoginItemService {
    LoginItemStatus current = LoginItemStatus::notRegistered;
    std::optional<Error> failure;
    LoginItemStatus status() override { return current; }
    std::optional<Error> registerItem() override { return change(LoginItemStatus::enabled); }
    std::optional<Error> unregisterItem() override { return change(LoginItemStatus::notRegistered); }
    std::optional<Error> change(LoginItemStatus status) {
        if (!failure)
            current = status;
        return failure;
    }
};

// Scripted answers about the machine, and what was handed to the desktop.
struct FakeMachine final : NetworkReachability, SystemInformation, Workspace {
    std::optional<uint32_t> flags = ReachabilityFlag::reachable;
    bool launchSucceeds = true;
    QList<QUrl> openedUrls;
    QStringList launchedFiles, revealedFiles;

    std::optional<uint32_t> defaultRouteFlags() override { return flags; }
    std::optional<QString> hostName() override { return QStringLiteral("test-host"); }
    std::optional<QString> hardwareModel() override { return QStringLiteral("Test Model 1"); }
    std::optional<QString> applicationId() override { return QStringLiteral("app.velmora.Velmora"); }
    bool openURL(const QUrl& url) override { return openedUrls.append(url), true; }
    void revealFile(const QString& filePath) override { revealedFiles.append(filePath); }
    void launchOpener(const QString& filePath, OpenerFinished finished) override {
        launchedFiles.append(filePath);
        const auto failure =
            launchSucceeds ? std::nullopt : std::optional(Error{"FakeMachine", 1, "It failed."});
        QMetaObject::invokeMethod(
            qApp, [finished, failure] { finished(failure); }, Qt::QueuedConnection);
    }
};

// Answers each alert with the next queued answer (the first button when none
// is queued) and records it; whileShowing runs while it is "on screen".
struct ScriptedAlertPresenter final : AlertPresenter {
    QList<int> answers;
    QList<Alert> shownAlerts;
    std::function<void(const Alert&)> showing;
    void answerWith(int buttonCode) { answers.append(buttonCode); }
    void whileShowing(std::function<void(const Alert&)> action) { showing = std::move(action); }
    const QList<Alert>& shown() const { return shownAlerts; }
    int runModal(const Alert& alert) override {
        shownAlerts.append(alert);
        if (showing)
            showing(alert);
        return answers.isEmpty() ? AlertResponse::firstButton : answers.takeFirst();
    }
};

// One of each fake, installed as the platform for the lifetime of the object.
struct FakePlatform {
    std::shared_ptr<FakeTextInputSources> sources = std::make_shared<FakeTextInputSources>();
    std::shared_ptr<FakeKeyboardEventTapFactory> taps = std::make_shared<FakeKeyboardEventTapFactory>();
    std::shared_ptr<FakeAccessibilityTrust> trust = std::make_shared<FakeAccessibilityTrust>();
    std::shared_ptr<FakeLoginItemService> loginItems = std::make_shared<FakeLoginItemService>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    std::shared_ptr<FakeFocusedApplication> focus = std::make_shared<FakeFocusedApplication>();

    FakePlatform() { install(alerts); }
    ~FakePlatform() { Platform::install({}); }
    // The alerts can be the real ones, answered by a click like a person's.
    void install(std::shared_ptr<AlertPresenter> presenter) {
        Platform::install(
            {sources, taps, trust, loginItems, machine, machine, machine, std::move(presenter), focus});
    }
};

} // namespace velmora
