"""client.py — Python's gphoto2 binding against the driver and the simulated
camera, as a long-lived application uses it.

  client.py cycles PORT PICS N   N sessions in one process: open, list, the
                                 pictures and thumbnails byte for byte against
                                 PICS, capture and delete a new picture (every
                                 tenth session), summary, close; descriptors
                                 and memory flat
  client.py cancel PORT PICS     a cancel from the context ends a download
                                 within about a second; the next one works
Prints one line per finding; exits 1 on any failure.
"""
import glob
import os
import sys
import time

import gphoto2 as gp

MODEL = "Vantrel KMT-18/19"
failures = 0


def fail(text):
    global failures
    failures += 1
    print("FAIL: " + text)


def originals(pics):
    names = sorted(p for p in glob.glob(os.path.join(pics, "*.jpg")) if not p.endswith(".thumb.jpg"))
    return [(open(p, "rb").read(), open(p[:-4] + ".thumb.jpg", "rb").read()) for p in names]


def open_camera(port, context):
    camera = gp.Camera()
    abilities = gp.CameraAbilitiesList()
    abilities.load(context)
    camera.set_abilities(abilities.get_abilities(abilities.lookup_model(MODEL)))
    ports = gp.PortInfoList()
    ports.load()
    camera.set_port_info(ports.get_info(ports.lookup_path("serial:" + port)))
    camera.init(context)
    return camera


def data_of(camera, name, kind, context):
    return bytes(memoryview(camera.file_get("/", name, kind, context).get_data_and_size()))


def rss_kb():
    for line in open("/proc/self/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def session(port, pics, context, full):
    camera = open_camera(port, context)
    try:
        want = originals(pics)
        names = [n for n, _ in camera.folder_list_files("/", context)]
        if names != ["picture-%03d.jpg" % (i + 1) for i in range(len(want))]:
            fail("names %s for %d pictures" % (names, len(want)))
            return
        for name, (picture, thumb) in list(zip(names, want))[0 if full else 1:None if full else 2]:
            if data_of(camera, name, gp.GP_FILE_TYPE_NORMAL, context) != picture:
                fail(name + " differs from the camera's JPEG")
            if data_of(camera, name, gp.GP_FILE_TYPE_PREVIEW, context) != thumb:
                fail(name + "'s thumbnail differs")
        if not full:
            return
        new = camera.capture(gp.GP_CAPTURE_IMAGE, context)
        shot = data_of(camera, new.name, gp.GP_FILE_TYPE_NORMAL, context)
        if shot != originals(pics)[-1][0]:
            fail("the captured %s differs from the camera's new picture" % new.name)
        camera.file_delete(new.folder, new.name, context)
        if len(originals(pics)) != len(want):
            fail("the captured picture was not deleted")
    finally:
        if "Pictures taken: %d\n" % len(want) not in str(camera.get_summary(context)):
            fail("summary: " + str(camera.get_summary(context)))
        camera.exit(context)


def cycles(port, pics, count):
    context = gp.Context()
    fds = rss = None
    start = time.monotonic()
    for n in range(1, count + 1):
        # Every tenth session does all; the others one picture and its
        # thumbnail, so that 50 sessions stay within a minute or two.
        session(port, pics, context, n % 10 == 1)
        if failures:
            return
        if n == 5:
            fds, rss = len(os.listdir("/proc/self/fd")), rss_kb()
    fds_end, rss_end = len(os.listdir("/proc/self/fd")), rss_kb()
    print("%d sessions in %.1f s: descriptors %d -> %d, RSS %d -> %d kB" %
          (count, time.monotonic() - start, fds, fds_end, rss, rss_end))
    if fds_end != fds:
        fail("descriptors grew from %d to %d" % (fds, fds_end))
    # The allocator keeps some pages; a leak of a picture per session would
    # show as megabytes.
    if rss_end - rss > 1024:
        fail("memory grew from %d to %d kB" % (rss, rss_end))


def cancel(port, pics):
    context = gp.Context()
    state = {"asked": None, "fraction": 0.0, "once": True}

    def update(ctx, pid, current, data):
        target = state.get("target") or 1
        state["fraction"] = current / target
        if state["once"] and state["asked"] is None and state["fraction"] > 0.2:
            state["asked"] = time.monotonic()

    def start(ctx, target, text, data):
        state["target"] = target
        return 1

    def stop(ctx, pid, data):
        pass

    def cancelled(ctx, data):
        return gp.GP_CONTEXT_FEEDBACK_CANCEL if state["asked"] else gp.GP_CONTEXT_FEEDBACK_OK

    camera = open_camera(port, context)
    callbacks = [context.set_progress_funcs(start, update, stop, None),
                 context.set_cancel_func(cancelled, None)]
    want = originals(pics)
    try:
        data_of(camera, "picture-001.jpg", gp.GP_FILE_TYPE_NORMAL, context)
        fail("the cancelled download succeeded")
    except gp.GPhoto2Error as e:
        took = time.monotonic() - state["asked"] if state["asked"] else -1
        print("cancel at %.0f%%: %s after %.2f s" % (state["fraction"] * 100, e, took))
        if e.code != gp.GP_ERROR_CANCEL:
            fail("the cancel gave %d, not GP_ERROR_CANCEL" % e.code)
        if not 0 <= took < 1.5:
            fail("the cancel took %.2f s" % took)
    state["asked"] = None
    state["once"] = False
    if data_of(camera, "picture-002.jpg", gp.GP_FILE_TYPE_NORMAL, context) != want[1][0]:
        fail("the download after the cancel differs")
    camera.exit(context)
    del callbacks


if __name__ == "__main__":
    if sys.argv[1] == "cycles":
        cycles(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        cancel(sys.argv[2], sys.argv[3])
    sys.exit(1 if failures else 0)
