/* sane_client.c — a SANE frontend of our own that walks the API as the
 * standard describes it, through libsane's dll backend: init, the device
 * list, open (a second open is refused), every option's descriptor with get
 * and set, parameters before and after start, reading to the end, a cancel
 * mid-read and one mid-download (from a signal, as frontends do), start
 * again, the unsupported I/O modes, close and exit.
 * Usage: sane_client DEVICE WIDTH HEIGHT OUT.ppm
 * Picture 1 of the camera must be WIDTH x HEIGHT; it is written to OUT.ppm. */
#include <sane/sane.h>
#include <sane/saneopts.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/time.h>
#include <time.h>

static int failures;
static SANE_Handle g_handle;

#define CHECK(cond, ...)                                 \
    do {                                                 \
        if (!(cond)) {                                   \
            fprintf(stderr, "FAIL line %d: ", __LINE__); \
            fprintf(stderr, __VA_ARGS__);                \
            fputc('\n', stderr);                         \
            failures++;                                  \
        }                                                \
    } while (0)

#define CHECK_STATUS(call, want)                                             \
    do {                                                                     \
        SANE_Status got_ = (call);                                           \
        CHECK(got_ == (want), "%s: %s, not %s", #call, sane_strstatus(got_), \
              sane_strstatus(want));                                         \
    } while (0)

static double now_s(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static SANE_Int option_by_name(SANE_Handle h, const char* name) {
    SANE_Int count = 0;
    sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &count, NULL);
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (d && d->name && strcmp(d->name, name) == 0) return i;
    }
    return -1;
}

static void set_string(SANE_Handle h, const char* name, const char* value) {
    SANE_Int n = option_by_name(h, name);
    CHECK(n > 0, "no option %s", name);
    if (n > 0)
        CHECK_STATUS(sane_control_option(h, n, SANE_ACTION_SET_VALUE, (void*)value, NULL),
                     SANE_STATUS_GOOD);
}

/* Every option: its descriptor, its value within its constraint, the value
 * set back, and values outside the constraint refused or corrected. */
static void walk_options(SANE_Handle h) {
    const SANE_Option_Descriptor* d0 = sane_get_option_descriptor(h, 0);
    CHECK(d0 && d0->type == SANE_TYPE_INT && d0->size == sizeof(SANE_Word),
          "option 0 is not the option count");
    SANE_Int count = 0;
    CHECK_STATUS(sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &count, NULL), SANE_STATUS_GOOD);
    CHECK(count > 1, "option count %d", count);
    CHECK_STATUS(sane_control_option(h, 0, SANE_ACTION_SET_VALUE, &count, NULL), SANE_STATUS_INVAL);
    CHECK(sane_get_option_descriptor(h, count) == NULL, "a descriptor past the count");
    CHECK(sane_get_option_descriptor(h, -1) == NULL, "a descriptor at -1");

    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        CHECK(d != NULL, "option %d has no descriptor", i);
        if (!d) continue;
        CHECK(d->name && d->title && d->desc, "option %d lacks a name, title or description", i);
        if (d->type == SANE_TYPE_GROUP || !SANE_OPTION_IS_ACTIVE(d->cap)) continue;
        void* value = calloc(1, (size_t)d->size + 1);
        SANE_Int info = -1;
        CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_GET_VALUE, value, &info),
                     SANE_STATUS_GOOD);
        SANE_Word w = *(SANE_Word*)value;
        switch (d->constraint_type) {
            case SANE_CONSTRAINT_RANGE:
                CHECK(w >= d->constraint.range->min && w <= d->constraint.range->max,
                      "%s = %d outside its range", d->name, w);
                break;
            case SANE_CONSTRAINT_STRING_LIST: {
                int listed = 0;
                for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s)
                    listed |= strcmp(*s, (const char*)value) == 0;
                CHECK(listed, "%s = '%s' is not in its list", d->name, (const char*)value);
                break;
            }
            default:
                break;
        }
        if (d->type == SANE_TYPE_BOOL)
            CHECK(w == SANE_TRUE || w == SANE_FALSE, "%s bool %d", d->name, w);

        if (!SANE_OPTION_IS_SETTABLE(d->cap)) {
            CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_VALUE, value, &info),
                         SANE_STATUS_INVAL);
            free(value);
            continue;
        }
        CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_VALUE, value, &info),
                     SANE_STATUS_GOOD);
        CHECK(!(info & SANE_INFO_INEXACT), "%s: its own value set back is inexact", d->name);
        CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_AUTO, NULL, &info),
                     (d->cap & SANE_CAP_AUTOMATIC) ? SANE_STATUS_GOOD : SANE_STATUS_INVAL);
        /* An action number from the network that names no action. */
        SANE_Word bad_action = 7;
        SANE_Action action;
        memcpy(&action, &bad_action, sizeof action);
        CHECK_STATUS(sane_control_option(h, i, action, value, &info), SANE_STATUS_INVAL);
        if (d->type == SANE_TYPE_BOOL) {
            SANE_Word bad = 2;
            CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_VALUE, &bad, NULL),
                         SANE_STATUS_INVAL);
        } else if (d->type == SANE_TYPE_STRING) {
            CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_VALUE, "no such choice", NULL),
                         SANE_STATUS_INVAL);
        } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            /* A value off the list becomes the nearest one, as said. */
            SANE_Word off = d->constraint.word_list[1] * 4 + 1;
            CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_VALUE, &off, &info),
                         SANE_STATUS_GOOD);
            CHECK((info & SANE_INFO_INEXACT) && off == d->constraint.word_list[1],
                  "%s: a value off the list is not corrected (%d)", d->name, off);
        } else if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
            SANE_Word beyond = d->constraint.range->max + 1;
            CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_VALUE, &beyond, &info),
                         SANE_STATUS_GOOD);
            CHECK((info & SANE_INFO_INEXACT) && beyond == d->constraint.range->max,
                  "%s: a value past the range is not corrected to the maximum (%d)", d->name,
                  beyond);
            CHECK_STATUS(sane_control_option(h, i, SANE_ACTION_SET_VALUE, value, NULL),
                         SANE_STATUS_GOOD);
        }
        free(value);
    }
}

static unsigned char* read_all(SANE_Handle h, size_t expected, size_t* got) {
    unsigned char* data = malloc(expected + 4096);
    size_t total = 0;
    SANE_Status s;
    for (;;) {
        SANE_Int len = 0;
        /* An odd buffer size: rows never line up with it. */
        size_t room = expected + 4096 - total;
        s = sane_read(h, data + total, (SANE_Int)(room < 997 ? room : 997), &len);
        if (s != SANE_STATUS_GOOD) break;
        total += (size_t)len;
        if (total > expected) break;
    }
    CHECK(s == SANE_STATUS_EOF, "reading ended with %s after %zu bytes", sane_strstatus(s), total);
    SANE_Int len = 5;
    CHECK_STATUS(sane_read(h, data, 16, &len), SANE_STATUS_EOF);
    CHECK(len == 0, "a read after the end gave %d bytes", len);
    *got = total;
    return data;
}

static void cancel_on_alarm(int sig) {
    (void)sig;
    sane_cancel(g_handle);
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: sane_client DEVICE WIDTH HEIGHT OUT.ppm\n");
        return 2;
    }
    const char* device = argv[1];
    const int width = atoi(argv[2]), height = atoi(argv[3]);
    const size_t bytes = (size_t)width * height * 3;

    SANE_Int version = 0;
    CHECK_STATUS(sane_init(&version, NULL), SANE_STATUS_GOOD);
    CHECK(SANE_VERSION_MAJOR(version) == 1, "SANE major version %d", SANE_VERSION_MAJOR(version));

    const SANE_Device** list = NULL;
    CHECK_STATUS(sane_get_devices(&list, SANE_FALSE), SANE_STATUS_GOOD);
    int found = 0, entries = 0;
    for (int i = 0; list && list[i]; ++i, ++entries)
        if (strcmp(list[i]->name, device) == 0) found = strcmp(list[i]->type, "still camera") == 0;
    CHECK(found && entries == 1, "the device list is not one still camera %s", device);

    SANE_Handle h = NULL, second = NULL;
    CHECK_STATUS(sane_open(device, &h), SANE_STATUS_GOOD);
    if (!h) return 1;
    g_handle = h;
    CHECK_STATUS(sane_open(device, &second), SANE_STATUS_DEVICE_BUSY);
    /* While it is open, the list still names it. */
    CHECK_STATUS(sane_get_devices(&list, SANE_FALSE), SANE_STATUS_GOOD);
    CHECK(list && list[0] && strcmp(list[0]->name, device) == 0 && !list[1],
          "the list while the device is open does not name it alone");

    walk_options(h);
    set_string(h, SANE_NAME_SCAN_SOURCE, "One picture");
    SANE_Int picture = option_by_name(h, "picture"), one = 1;
    CHECK_STATUS(sane_control_option(h, picture, SANE_ACTION_SET_VALUE, &one, NULL),
                 SANE_STATUS_GOOD);

    /* Outside a scan there is no I/O mode to set and no descriptor. */
    SANE_Int fd = -1;
    CHECK_STATUS(sane_set_io_mode(h, SANE_FALSE), SANE_STATUS_INVAL);
    CHECK_STATUS(sane_get_select_fd(h, &fd), SANE_STATUS_INVAL);

    /* Parameters: exact before the start, the same after it. */
    SANE_Parameters before, after;
    CHECK_STATUS(sane_get_parameters(h, &before), SANE_STATUS_GOOD);
    CHECK(before.format == SANE_FRAME_RGB && before.depth == 8 && before.last_frame,
          "not one 8-bit RGB frame");
    CHECK(before.pixels_per_line == width && before.lines == height &&
              before.bytes_per_line == width * 3,
          "before the start: %d x %d, %d bytes a line", before.pixels_per_line, before.lines,
          before.bytes_per_line);
    CHECK_STATUS(sane_start(h), SANE_STATUS_GOOD);
    CHECK_STATUS(sane_get_parameters(h, &after), SANE_STATUS_GOOD);
    CHECK(memcmp(&before, &after, sizeof before) == 0, "the parameters changed at the start");
    CHECK_STATUS(sane_set_io_mode(h, SANE_FALSE), SANE_STATUS_GOOD);
    CHECK_STATUS(sane_set_io_mode(h, SANE_TRUE), SANE_STATUS_UNSUPPORTED);
    CHECK_STATUS(sane_get_select_fd(h, &fd), SANE_STATUS_UNSUPPORTED);

    size_t got = 0;
    unsigned char* whole = read_all(h, bytes, &got);
    CHECK(got == bytes, "read %zu bytes of %zu", got, bytes);
    /* Until the cancel the parameters are still this picture's. */
    CHECK_STATUS(sane_get_parameters(h, &after), SANE_STATUS_GOOD);
    CHECK(memcmp(&before, &after, sizeof before) == 0, "the parameters changed at the end");
    CHECK_STATUS(sane_get_select_fd(h, &fd), SANE_STATUS_UNSUPPORTED);
    FILE* out = fopen(argv[4], "wb");
    if (out) {
        fprintf(out, "P6\n%d %d\n255\n", width, height);
        fwrite(whole, 1, got, out);
        fclose(out);
    }
    sane_cancel(h);

    /* A cancel mid-read: the next read says so, and a new start gives the
     * whole picture again. */
    CHECK_STATUS(sane_start(h), SANE_STATUS_GOOD);
    unsigned char part[1000];
    SANE_Int len = 0;
    CHECK_STATUS(sane_read(h, part, sizeof part, &len), SANE_STATUS_GOOD);
    sane_cancel(h);
    /* Parameters asked in between do not hide the cancel from the read. */
    CHECK_STATUS(sane_get_parameters(h, &after), SANE_STATUS_GOOD);
    CHECK_STATUS(sane_read(h, part, sizeof part, &len), SANE_STATUS_CANCELLED);
    CHECK_STATUS(sane_read(h, part, sizeof part, &len), SANE_STATUS_CANCELLED);
    CHECK_STATUS(sane_set_io_mode(h, SANE_FALSE), SANE_STATUS_INVAL);
    CHECK_STATUS(sane_start(h), SANE_STATUS_GOOD);
    unsigned char* again = read_all(h, bytes, &got);
    CHECK(got == bytes && memcmp(again, whole, bytes) == 0, "the picture after a cancel differs");
    free(again);
    sane_cancel(h);

    /* The picture read last is kept: picture 2 takes its place, so that
     * picture 1 comes down the line again. */
    SANE_Int two = 2;
    CHECK_STATUS(sane_control_option(h, picture, SANE_ACTION_SET_VALUE, &two, NULL),
                 SANE_STATUS_GOOD);
    CHECK_STATUS(sane_start(h), SANE_STATUS_GOOD);
    sane_cancel(h);
    CHECK_STATUS(sane_control_option(h, picture, SANE_ACTION_SET_VALUE, &one, NULL),
                 SANE_STATUS_GOOD);

    /* A cancel from a signal while the start downloads: the start ends
     * cancelled well before the download would have, and the link is usable. */
    signal(SIGALRM, cancel_on_alarm);
    struct itimerval in = {{0, 0}, {0, 200000}};
    double t0 = now_s();
    setitimer(ITIMER_REAL, &in, NULL);
    SANE_Status s = sane_start(h);
    double cancelled_after = now_s() - t0;
    CHECK(s == SANE_STATUS_CANCELLED, "a start cancelled mid-download gave %s", sane_strstatus(s));
    fprintf(stderr, "cancelled start returned after %.2f s\n", cancelled_after);
    t0 = now_s();
    CHECK_STATUS(sane_start(h), SANE_STATUS_GOOD);
    double full = now_s() - t0;
    fprintf(stderr, "full start took %.2f s\n", full);
    CHECK(cancelled_after < full, "the cancelled start took %.2f s, a whole one %.2f s",
          cancelled_after, full);
    again = read_all(h, bytes, &got);
    CHECK(got == bytes && memcmp(again, whole, bytes) == 0,
          "the picture after a cancelled download differs");
    free(again);
    free(whole);
    sane_cancel(h);

    /* The feeder: one picture per start, then no more documents. Between the
     * end of a picture and the next start its parameters hold. */
    set_string(h, SANE_NAME_SCAN_SOURCE, "ADF");
    int pictures = 0;
    while ((s = sane_start(h)) == SANE_STATUS_GOOD && pictures < 50) {
        CHECK_STATUS(sane_get_parameters(h, &before), SANE_STATUS_GOOD);
        unsigned char* p = read_all(h, 640 * 480 * 3, &got);
        free(p);
        CHECK_STATUS(sane_get_parameters(h, &after), SANE_STATUS_GOOD);
        CHECK(memcmp(&before, &after, sizeof before) == 0 &&
                  got == (size_t)after.bytes_per_line * after.lines,
              "picture %d of the feeder: %zu bytes read, %d x %d after its end", pictures + 1,
              got, after.pixels_per_line, after.lines);
        pictures++;
    }
    CHECK(s == SANE_STATUS_NO_DOCS, "the batch ended with %s", sane_strstatus(s));
    CHECK(pictures == 2, "the batch gave %d pictures, not 2", pictures);
    sane_cancel(h);

    sane_close(h);
    /* Closed, the device opens again. */
    CHECK_STATUS(sane_open(device, &second), SANE_STATUS_GOOD);
    if (second) sane_close(second);
    sane_exit();

    if (failures) fprintf(stderr, "%d failures\n", failures);
    return failures ? 1 : 0;
}
