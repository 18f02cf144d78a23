#!/usr/bin/python3
"""py_client.py — python3-sane (a Python frontend over libsane) against the
backend, locally or through saned and the net backend: every picture of the
feeder pixel for pixel, the feeder's end, and the parameters between the end
of a picture and the next start.
Usage: py_client.py DEVICE REFERENCE.ppm... (the camera's pictures in order)"""
import sys

import sane
from PIL import Image

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL: " + what)


def main():
    device, refs = sys.argv[1], [Image.open(p).convert("RGB") for p in sys.argv[2:]]
    sane.init()
    dev = sane.open(device)
    dev.source = "ADF"

    # The library's own feeder loop: start and read until no pictures are left.
    images = list(dev.multi_scan())
    check(len(images) == len(refs), "multi_scan gave %d pictures, not %d" % (len(images), len(refs)))
    for n, (image, ref) in enumerate(zip(images, refs), 1):
        check(image.size == ref.size and image.tobytes() == ref.tobytes(),
              "multi_scan picture %d: %s, not the camera's %s" % (n, image.size, ref.size))

    # By hand, asking for the parameters after each picture's end: they are
    # still that picture's, until the next start.
    for n, ref in enumerate(refs, 1):
        dev.start()
        image = dev.snap(no_cancel=True)
        size = dev.get_parameters()[2]
        check(size == ref.size, "after picture %d the parameters say %s, not %s" % (n, size, ref.size))
        check(image.tobytes() == ref.tobytes(), "picture %d by hand differs" % n)
    try:
        dev.start()
        check(False, "a start after the last picture did not end the feeder")
    except Exception as e:
        check(str(e) == "Document feeder out of documents", "the feeder ended with %s" % e)
    dev.cancel()
    dev.close()
    sane.exit()
    if failures:
        print("%d failures" % len(failures))
        return 1
    print("python3-sane: all checks passed (%d pictures)" % len(refs))
    return 0


if __name__ == "__main__":
    sys.exit(main())
