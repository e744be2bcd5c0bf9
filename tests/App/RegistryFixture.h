#pragma once

#include "Persistence/StoreFixtures.h"
#include "Support/FakeNoteWindow.h"

#include "App/NoteRegistry.h"
#include "Core/Screens/ScreenProvider.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace quorrin::testing {

// A registry over a store in a temporary directory whose windows are fakes.
class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open();
        NoteRegistryServices services;
        services.makeWindow = [](NoteStore& notes, const Note& note) {
            return std::make_unique<FakeNoteWindow>(notes, note);
        };
        services.screens = screens;
        services.leftMouseDown = [] { return false; };
        services.beep = [] {};
        registry = std::make_unique<NoteRegistry>(*store, std::move(services));
        registry->activateApplication = [this](RegisteredNoteWindow* forWindow) {
            ++activations;
            activatedFor = forWindow;
        };
    }
    void TearDown() override
    {
        registry.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QUuid addNote(const QString& text = QStringLiteral("text"), bool hidden = false)
    {
        Note note = store->create(AttributedString(text));
        note.isHidden = hidden;
        store->update(note, true, false);
        return note.id;
    }
    FakeNoteWindow* window(const QUuid& id) const { return dynamic_cast<FakeNoteWindow*>(registry->controller(id)); }

    StoreDirectory directory;
    std::shared_ptr<FixedScreenProvider> screens =
        std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 1600, 1000)});
    std::unique_ptr<NoteStore> store;
    std::unique_ptr<NoteRegistry> registry;
    int activations = 0;
    RegisteredNoteWindow* activatedFor = nullptr; // the last activation's window
};

} // namespace quorrin::testing
