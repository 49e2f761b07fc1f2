#pragma once

#include "platform/message.h"

namespace kestrel {

// The menu-definition loader: a worker that fills the store's menu item catalogue once at
// start-up and then ends.
class File_MenuListDefFile {
  public:
    // Handles one thread message: kMsgLoadMenu loads the catalogue, sets StoreReady and ends the
    // loop.
    void OnMessage(const Message& message);
};

// Starts the loader's loop and keeps it in the Worker::MenuLoader slot; the loader waits for its
// load message.
void StartMenuListDefFile();

// Initialises the store: clears StoreReady, the power-off marker and the saved value, loads every
// field's default and limits, clears the keyer texts and menu records, then starts the menu
// loader, waits 10 ms and posts it the load message.
void InitRadioState();

}  // namespace kestrel
