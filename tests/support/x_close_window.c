/* x_close_window WINDOW-ID: asks a window to close as a window manager does (a
 * WM_DELETE_WINDOW client message), for the end-to-end checks under a bare Xvfb. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xcb/xcb.h>

static xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
  xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
  free(r);
  return a;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: x_close_window WINDOW-ID\n");
    return 2;
  }
  xcb_connection_t* c = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(c)) return 1;
  xcb_client_message_event_t e;
  memset(&e, 0, sizeof e);
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = (xcb_window_t)strtoul(argv[1], NULL, 0);
  e.type = Atom(c, "WM_PROTOCOLS");
  e.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
  e.data.data32[1] = XCB_CURRENT_TIME;
  /* Checked: the answer comes once the server has handled the request, so the message is
   * queued for the window before this connection goes, and a bad window id is an error. */
  xcb_generic_error_t* err = xcb_request_check(c, xcb_send_event_checked(c, 0, e.window, XCB_EVENT_MASK_NO_EVENT, (const char*)&e));
  const int failed = err != NULL || e.type == XCB_ATOM_NONE || e.data.data32[0] == XCB_ATOM_NONE;
  if (err) fprintf(stderr, "x_close_window: the server refused the message (error %d)\n", err->error_code);
  free(err);
  xcb_disconnect(c);
  return failed ? 1 : 0;
}
