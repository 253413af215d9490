#include "platform/X11WindowFrame.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace X11WindowFrame {

namespace {

// How long the window manager may take to answer (openbox needs a few
// milliseconds); after that the window is shown without the answer.
constexpr int kAnswerTimeoutMs = 250;

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply* reply) {
  return ReplyPtr<Reply>(reply, &std::free);
}

xcb_connection_t* connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto reply = owned(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
  auto reply = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
  return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

// The values of a 32-bit property of window (empty when it has none).
std::vector<uint32_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                               uint32_t longs) {
  auto reply = owned(xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, longs), nullptr));
  if (!reply || reply->format != 32) return {};
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

// _NET_FRAME_EXTENTS as a window's margins, when the window has it.
std::optional<QMargins> extentsOf(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents) {
  const std::vector<uint32_t> v = property(c, window, extents, XCB_ATOM_CARDINAL, 4);
  if (v.size() != 4) return std::nullopt;
  const auto margin = [](uint32_t m) { return static_cast<int>(qMin<uint32_t>(m, 4096)); };
  return QMargins(margin(v[0]), margin(v[2]), margin(v[1]), margin(v[3]));  // left, right, top, bottom
}

}  // namespace

bool available() { return connection() != nullptr; }

bool managed(unsigned long id) {
  xcb_connection_t* c = connection();
  if (!c || id == 0) return false;
  const auto screen = xcb_setup_roots_iterator(xcb_get_setup(c));
  if (!screen.rem) return false;
  for (uint32_t listed : property(c, screen.data->root, atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 65536))
    if (listed == id) return true;
  return false;
}

std::optional<QMargins> frameExtents(QWindow* window) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return std::nullopt;
  return extentsOf(c, static_cast<xcb_window_t>(window->winId()), atom(c, "_NET_FRAME_EXTENTS"));
}

std::optional<QRect> clientArea(QWindow* window) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return std::nullopt;
  const auto id = static_cast<xcb_window_t>(window->winId());
  auto attributes = owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr));
  if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) return std::nullopt;
  auto geometry = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
  if (!geometry) return std::nullopt;
  auto onRoot =
      owned(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), nullptr));
  if (!onRoot) return std::nullopt;
  return QRect(onRoot->dst_x, onRoot->dst_y, geometry->width, geometry->height);
}

std::optional<QMargins> askWindowManager(QWindow* window) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return std::nullopt;
  const auto id = static_cast<xcb_window_t>(window->winId());
  const xcb_window_t root = rootOf(c, id);
  const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
  const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
  const xcb_atom_t supported = atom(c, "_NET_SUPPORTED");
  if (root == XCB_WINDOW_NONE || request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE) return std::nullopt;
  bool offered = false;
  for (uint32_t a : property(c, root, supported, XCB_ATOM_ATOM, 1024)) offered = offered || a == request;
  if (!offered) return std::nullopt;

  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = id;
  message.type = request;
  xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(c);

  // The answer is a property the window manager sets on the window. Qt's own
  // event reader owns the connection's events, so the property is read
  // again until it is there rather than waited for as an event.
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    if (const std::optional<QMargins> answer = extentsOf(c, id, extents)) return answer;
    if (clock.elapsed() > kAnswerTimeoutMs) return std::nullopt;
    QThread::usleep(500);
  }
}

bool positionPlacesFrame(QWindow* window) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return false;
  // WM_NORMAL_HINTS: flags first, the gravity in the 18th value.
  constexpr uint32_t kGravityGiven = 1u << 9;
  constexpr uint32_t kStaticGravity = 10;
  const std::vector<uint32_t> hints =
      property(c, static_cast<xcb_window_t>(window->winId()), XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 18);
  const bool staticGravity = hints.size() == 18 && (hints[0] & kGravityGiven) && hints[17] == kStaticGravity;
  return !staticGravity;
}

}  // namespace X11WindowFrame
