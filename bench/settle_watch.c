/* Runs a program and measures, from its exec, the moment its first window stops changing:
 *   settle_watch [-q quiet-ms] [-t timeout-ms] -- program args...
 * It notes the top-level windows already there, forks and execs the program, waits for a new
 * viewable window, then polls a band of it (the upper half, the whole width: vertical lines
 * start at the top, and a cover page has ink there only)
 * and keeps the time of the last change. When the band has not changed for quiet-ms it stops
 * the program (SIGTERM, then SIGKILL) and prints
 *   settle-ms=N rss-kb=N window=WxH
 * where rss-kb is the program's peak resident set (from wait4). Exit 1 when no window came.
 * Plain Xlib so that the watcher itself costs the X server little. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static void SleepMs(double ms) {
  struct timespec ts = {(time_t)(ms / 1000), (long)((ms - (time_t)(ms / 1000) * 1000) * 1e6)};
  nanosleep(&ts, NULL);
}

static int ignoreErrors(Display* d, XErrorEvent* e) {
  (void)d;
  (void)e;
  return 0; /* a window may vanish between the query and the look at it */
}

static int Known(const Window* list, unsigned n, Window w) {
  for (unsigned i = 0; i < n; ++i)
    if (list[i] == w) return 1;
  return 0;
}

/* A new top-level window that is viewable and larger than a tool tip. */
static Window NewWindow(Display* d, const Window* before, unsigned nBefore) {
  Window root_ret, parent, *kids = NULL;
  unsigned n = 0;
  Window found = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root_ret, &parent, &kids, &n)) return 0;
  for (unsigned i = 0; i < n && !found; ++i) {
    if (Known(before, nBefore, kids[i])) continue;
    XWindowAttributes a;
    if (XGetWindowAttributes(d, kids[i], &a) && a.map_state == IsViewable && a.width >= 100 && a.height >= 100)
      found = kids[i];
  }
  if (kids) XFree(kids);
  return found;
}

static uint64_t Hash(XImage* img) {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < img->height; ++y) {
    const unsigned char* row = (const unsigned char*)img->data + (size_t)y * img->bytes_per_line;
    for (int x = 0; x < img->bytes_per_line; ++x) h = (h ^ row[x]) * 1099511628211ull;
  }
  return h;
}

int main(int argc, char** argv) {
  double quietMs = 400, timeoutMs = 20000;
  int i = 1;
  for (; i < argc; ++i) {
    if (!strcmp(argv[i], "-q") && i + 1 < argc) quietMs = atof(argv[++i]);
    else if (!strcmp(argv[i], "-t") && i + 1 < argc) timeoutMs = atof(argv[++i]);
    else if (!strcmp(argv[i], "--")) { ++i; break; }
    else break;
  }
  if (i >= argc) {
    fprintf(stderr, "usage: settle_watch [-q quiet-ms] [-t timeout-ms] -- program args...\n");
    return 2;
  }
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "settle_watch: no display\n");
    return 2;
  }
  XSetErrorHandler(ignoreErrors);
  Window root_ret, parent, *before = NULL;
  unsigned nBefore = 0;
  XQueryTree(d, DefaultRootWindow(d), &root_ret, &parent, &before, &nBefore);

  const double t0 = NowMs();
  const pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    execvp(argv[i], argv + i);
    _exit(127);
  }

  Window w = 0;
  while (!w && NowMs() - t0 < timeoutMs) {
    w = NewWindow(d, before, nBefore);
    if (!w) {
      int st;
      if (waitpid(pid, &st, WNOHANG) == pid) {
        fprintf(stderr, "settle_watch: the program ended without a window\n");
        return 1;
      }
      SleepMs(0.5);
    }
  }
  int rc = 0;
  double last = NowMs();
  XWindowAttributes a = {0};
  if (!w) {
    fprintf(stderr, "settle_watch: no window within %.0f ms\n", timeoutMs);
    rc = 1;
  } else {
    uint64_t prev = 0;
    int have = 0;
    for (;;) {
      const double now = NowMs();
      if (!XGetWindowAttributes(d, w, &a)) break;
      const int y0 = 0, bh = a.height / 2;
      XImage* img = XGetImage(d, w, 0, y0, a.width, bh, AllPlanes, ZPixmap);
      if (img) {
        const uint64_t h = Hash(img);
        XDestroyImage(img);
        if (!have || h != prev) last = now;
        prev = h;
        have = 1;
      }
      if (now - last >= quietMs || now - t0 > timeoutMs) break;
      SleepMs(1);
    }
  }
  kill(pid, SIGTERM);
  int status = 0;
  struct rusage ru;
  memset(&ru, 0, sizeof ru);
  const double stopAt = NowMs();
  pid_t got = 0;
  while ((got = wait4(pid, &status, WNOHANG, &ru)) == 0 && NowMs() - stopAt < 3000) SleepMs(5);
  if (got == 0) {
    kill(pid, SIGKILL);
    wait4(pid, &status, 0, &ru);
  }
  if (before) XFree(before);
  XCloseDisplay(d);
  if (rc == 0) printf("settle-ms=%.1f rss-kb=%ld window=%dx%d\n", last - t0, ru.ru_maxrss, a.width, a.height);
  return rc;
}
