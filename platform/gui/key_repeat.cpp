#include "platform/gui/key_repeat.h"

#include <QGuiApplication>

#if defined(INKSTONE_WITH_XCB) && QT_CONFIG(xcb)
#define INKSTONE_ASKS_X_SERVER 1
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cstdint>
#include <cstdlib>
#endif

namespace gui {

#ifdef INKSTONE_ASKS_X_SERVER

namespace {

// The keyboard extension's PerClientFlags request and reply, as on the wire; the first four
// bytes of the request (major and minor opcode, length) are filled in by xcb.
//
//   request  offset size  field
//            0      1     major opcode (the extension's)
//            1      1     minor opcode 21
//            2      2     length in 4-byte units (7)
//            4      2     device: 0x0100 = the core keyboard
//            6      2     unused
//            8      4     flags to change
//            12     4     their new values
//            16     4     controls to change, 20 auto-reset controls, 24 their values (0)
//   reply    8      4     flags the server supports
//            12     4     the flags in effect for this client
constexpr uint8_t kPerClientFlagsRequest = 21;
constexpr uint16_t kCoreKeyboard = 0x0100;
constexpr uint32_t kDetectableAutoRepeat = 1u << 0;

struct PerClientFlagsRequest {
  uint8_t major_opcode;
  uint8_t minor_opcode;
  uint16_t length;
  uint16_t device;
  uint8_t unused[2];
  uint32_t change;
  uint32_t value;
  uint32_t controls_to_change;
  uint32_t auto_controls;
  uint32_t auto_control_values;
};
static_assert(sizeof(PerClientFlagsRequest) == 28);

struct PerClientFlagsReply {
  uint8_t response_type;
  uint8_t device;
  uint16_t sequence;
  uint32_t length;
  uint32_t supported;
  uint32_t value;
  uint32_t auto_controls;
  uint32_t auto_control_values;
  uint8_t unused[8];
};
static_assert(sizeof(PerClientFlagsReply) == 32);

// xcb's name of the extension; xcb looks its opcode up once per connection.
xcb_extension_t keyboard_extension = {"XKEYBOARD", 0};

}  // namespace

bool AskForDetectableAutoRepeat() {
  auto* x11 =
      qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
  if (connection == nullptr) return false;
  // Qt has enabled the extension on its connection (its keyboard handling needs it); the
  // flag belongs to that connection, so it must be asked for there.
  const xcb_query_extension_reply_t* extension =
      xcb_get_extension_data(connection, &keyboard_extension);
  if (extension == nullptr || !extension->present) return false;

  PerClientFlagsRequest request{};
  request.device = kCoreKeyboard;
  request.change = kDetectableAutoRepeat;
  request.value = kDetectableAutoRepeat;
  const xcb_protocol_request_t kind = {/*count=*/2, &keyboard_extension, kPerClientFlagsRequest,
                                       /*isvoid=*/0};
  // xcb_send_request uses the two entries before the ones it is given for itself.
  iovec parts[4];
  parts[2].iov_base = &request;
  parts[2].iov_len = sizeof request;
  parts[3].iov_base = nullptr;
  parts[3].iov_len = 0;  // 28 bytes need no padding
  const unsigned int sequence = xcb_send_request(connection, XCB_REQUEST_CHECKED, parts + 2, &kind);
  if (sequence == 0) return false;
  xcb_generic_error_t* error = nullptr;
  auto* reply = static_cast<PerClientFlagsReply*>(xcb_wait_for_reply(connection, sequence, &error));
  std::free(error);
  if (reply == nullptr) return false;
  const bool in_effect = (reply->supported & reply->value & kDetectableAutoRepeat) != 0;
  std::free(reply);
  return in_effect;
}

#else

bool AskForDetectableAutoRepeat() { return false; }

#endif

}  // namespace gui
