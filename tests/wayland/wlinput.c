/* A Wayland input device for the tests: holds a virtual pointer and a virtual keyboard on the
 * compositor's seat for as long as it runs, and plays the commands it reads, one a line, from
 * its standard input. A headless compositor has no input devices of its own, so without this
 * the game's window would never see a pointer or a key.
 *
 *   move X Y          pointer to X, Y in the layout (absolute, extent = the first output)
 *   press B / release B / click B   button B: left, right or middle
 *   key COMBO         e.g. "Return", "Down", "alt+l": modifiers held while the last key taps
 *
 * Every command is answered with "ok" once the compositor has taken it (a round trip), or
 * "error ..." when it cannot be done. The two protocols are small and none of the installed
 * packages carries their descriptions, so their interface tables are written out here. */
#define _GNU_SOURCE
#include <linux/input-event-codes.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

/* --- zwlr_virtual_pointer_v1 and zwp_virtual_keyboard_v1, as the compositor knows them ------ */

extern const struct wl_interface virtual_pointer_interface;
extern const struct wl_interface virtual_keyboard_interface;

static const struct wl_interface *pointer_create_types[] = {&wl_seat_interface,
                                                            &virtual_pointer_interface};
static const struct wl_interface *keyboard_create_types[] = {&wl_seat_interface,
                                                             &virtual_keyboard_interface};
static const struct wl_interface *no_types[] = {NULL, NULL, NULL, NULL, NULL};

static const struct wl_message pointer_manager_requests[] = {
    {"create_virtual_pointer", "?on", pointer_create_types},
    {"destroy",                "",    no_types            },
};
static const struct wl_interface pointer_manager_interface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, pointer_manager_requests, 0, NULL};

enum { POINTER_MOTION_ABSOLUTE = 1, POINTER_BUTTON = 2, POINTER_FRAME = 4, POINTER_DESTROY = 8 };
static const struct wl_message pointer_requests[] = {
    {"motion",          "uff",   no_types},
    {"motion_absolute", "uuuuu", no_types},
    {"button",          "uuu",   no_types},
    {"axis",            "uuf",   no_types},
    {"frame",           "",      no_types},
    {"axis_source",     "u",     no_types},
    {"axis_stop",       "uu",    no_types},
    {"axis_discrete",   "uufi",  no_types},
    {"destroy",         "",      no_types},
};
const struct wl_interface virtual_pointer_interface = {"zwlr_virtual_pointer_v1", 1, 9,
                                                       pointer_requests,          0, NULL};

static const struct wl_message keyboard_manager_requests[] = {
    {"create_virtual_keyboard", "on", keyboard_create_types},
};
static const struct wl_interface keyboard_manager_interface = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, keyboard_manager_requests, 0, NULL};

enum { KEYBOARD_KEYMAP = 0, KEYBOARD_KEY = 1, KEYBOARD_MODIFIERS = 2, KEYBOARD_DESTROY = 3 };
static const struct wl_message keyboard_requests[] = {
    {"keymap",    "uhu",  no_types},
    {"key",       "uuu",  no_types},
    {"modifiers", "uuuu", no_types},
    {"destroy",   "",     no_types},
};
const struct wl_interface virtual_keyboard_interface = {"zwp_virtual_keyboard_v1", 1, 4,
                                                        keyboard_requests,         0, NULL};

/* --- the connection ----------------------------------------------------------------------------
 */

struct client {
    struct wl_display *display;
    struct wl_seat *seat;
    struct wl_output *output;
    struct wl_proxy *pointer_manager, *keyboard_manager;
    struct wl_proxy *pointer, *keyboard;
    int32_t width, height; /* the first output's mode: the pointer's extent */
    struct xkb_context *xkb;
    struct xkb_keymap *keymap;
    struct xkb_state *state;
};

static void output_geometry(void *data, struct wl_output *output, int32_t x, int32_t y, int32_t pw,
                            int32_t ph, int32_t subpixel, const char *make, const char *model,
                            int32_t transform)
{
    (void)data, (void)output, (void)x, (void)y, (void)pw, (void)ph, (void)subpixel, (void)make,
        (void)model, (void)transform;
}
static void output_mode(void *data, struct wl_output *output, uint32_t flags, int32_t width,
                        int32_t height, int32_t refresh)
{
    struct client *c = data;
    (void)output, (void)refresh;
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        c->width = width;
        c->height = height;
    }
}
/* Bound at version 1: only geometry and mode ever arrive. */
static const struct wl_output_listener output_listener = {.geometry = output_geometry,
                                                          .mode = output_mode};

static void global_added(void *data, struct wl_registry *registry, uint32_t name,
                         const char *interface, uint32_t version)
{
    struct client *c = data;
    (void)version;
    if (!strcmp(interface, "wl_seat") && !c->seat)
        c->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (!strcmp(interface, "wl_output") && !c->output) {
        c->output = wl_registry_bind(registry, name, &wl_output_interface, 1);
        wl_output_add_listener(c->output, &output_listener, c);
    } else if (!strcmp(interface, pointer_manager_interface.name))
        c->pointer_manager = wl_registry_bind(registry, name, &pointer_manager_interface, 1);
    else if (!strcmp(interface, keyboard_manager_interface.name))
        c->keyboard_manager = wl_registry_bind(registry, name, &keyboard_manager_interface, 1);
}
static void global_removed(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}
static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static uint32_t now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

/* Hands the compositor a US keymap through a sealed memory file, as the protocol asks. */
static int send_keymap(struct client *c)
{
    const struct xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
    c->keymap = xkb_keymap_new_from_names(c->xkb, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!c->keymap)
        return -1;
    c->state = xkb_state_new(c->keymap);
    char *text = xkb_keymap_get_as_string(c->keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const size_t size = strlen(text) + 1;
    const int fd = memfd_create("morvane-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != (ssize_t)size) {
        free(text);
        return -1;
    }
    free(text);
    wl_proxy_marshal(c->keyboard, KEYBOARD_KEYMAP, XKB_KEYMAP_FORMAT_TEXT_V1, fd, (uint32_t)size);
    close(fd);
    return 0;
}

/* --- the commands ------------------------------------------------------------------------------
 */

static int button_code(const char *name)
{
    if (!strcmp(name, "left"))
        return BTN_LEFT;
    if (!strcmp(name, "right"))
        return BTN_RIGHT;
    if (!strcmp(name, "middle"))
        return BTN_MIDDLE;
    return -1;
}

static void button(struct client *c, int code, int pressed)
{
    wl_proxy_marshal(c->pointer, POINTER_BUTTON, now_ms(), (uint32_t)code, (uint32_t)pressed);
    wl_proxy_marshal(c->pointer, POINTER_FRAME);
}

struct key_search {
    xkb_keysym_t sym;
    xkb_keycode_t found;
    struct xkb_keymap *keymap;
};
static void match_key(struct xkb_keymap *keymap, xkb_keycode_t code, void *data)
{
    struct key_search *s = data;
    const xkb_keysym_t *syms;
    if (!s->found && xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &syms) > 0
        && syms[0] == s->sym)
        s->found = code;
}
/* The evdev code of the key that gives `name` unshifted, or -1. */
static int key_code(struct client *c, const char *name)
{
    struct key_search s = {xkb_keysym_from_name(name, XKB_KEYSYM_CASE_INSENSITIVE), 0, c->keymap};
    if (!strcasecmp(name, "alt"))
        s.sym = XKB_KEY_Alt_L;
    else if (!strcasecmp(name, "ctrl"))
        s.sym = XKB_KEY_Control_L;
    else if (!strcasecmp(name, "shift"))
        s.sym = XKB_KEY_Shift_L;
    if (s.sym == XKB_KEY_NoSymbol)
        return -1;
    xkb_keymap_key_for_each(c->keymap, match_key, &s);
    return s.found ? (int)s.found - 8 : -1;
}

/* Sends a key and the modifier state it leaves, as a real keyboard's driver would. */
static void key(struct client *c, int code, int pressed)
{
    wl_proxy_marshal(c->keyboard, KEYBOARD_KEY, now_ms(), (uint32_t)code, (uint32_t)pressed);
    xkb_state_update_key(c->state, (xkb_keycode_t)code + 8, pressed ? XKB_KEY_DOWN : XKB_KEY_UP);
    wl_proxy_marshal(c->keyboard, KEYBOARD_MODIFIERS,
                     xkb_state_serialize_mods(c->state, XKB_STATE_MODS_DEPRESSED),
                     xkb_state_serialize_mods(c->state, XKB_STATE_MODS_LATCHED),
                     xkb_state_serialize_mods(c->state, XKB_STATE_MODS_LOCKED),
                     xkb_state_serialize_layout(c->state, XKB_STATE_LAYOUT_EFFECTIVE));
}

static const char *combo(struct client *c, char *keys)
{
    int codes[8], count = 0;
    for (char *part = strtok(keys, "+"); part; part = strtok(NULL, "+")) {
        if (count == 8)
            return "too many keys";
        if ((codes[count++] = key_code(c, part)) < 0)
            return "unknown key";
    }
    if (!count)
        return "no key";
    for (int i = 0; i < count; ++i)
        key(c, codes[i], 1);
    for (int i = count - 1; i >= 0; --i)
        key(c, codes[i], 0);
    return NULL;
}

static const char *run(struct client *c, char *line)
{
    char word[32] = "", rest[128] = "";
    int x, y;
    if (sscanf(line, "%31s %127[^\n]", word, rest) < 1)
        return "empty command";
    if (!strcmp(word, "move")) {
        if (sscanf(rest, "%d %d", &x, &y) != 2 || x < 0 || y < 0 || x >= c->width || y >= c->height)
            return "move needs X Y on the output";
        wl_proxy_marshal(c->pointer, POINTER_MOTION_ABSOLUTE, now_ms(), (uint32_t)x, (uint32_t)y,
                         (uint32_t)c->width, (uint32_t)c->height);
        wl_proxy_marshal(c->pointer, POINTER_FRAME);
    } else if (!strcmp(word, "press") || !strcmp(word, "release") || !strcmp(word, "click")) {
        const int code = button_code(rest);
        if (code < 0)
            return "unknown button";
        if (strcmp(word, "release"))
            button(c, code, 1);
        if (strcmp(word, "press"))
            button(c, code, 0);
    } else if (!strcmp(word, "key")) {
        const char *error = combo(c, rest);
        if (error)
            return error;
    } else {
        return "unknown command";
    }
    return NULL;
}

int main(void)
{
    struct client c = {0};
    c.display = wl_display_connect(NULL);
    if (!c.display) {
        fprintf(stderr, "wlinput: no Wayland display\n");
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(c.display);
    wl_registry_add_listener(registry, &registry_listener, &c);
    wl_display_roundtrip(c.display);
    wl_display_roundtrip(c.display);
    if (!c.seat || !c.output || !c.pointer_manager || !c.keyboard_manager || !c.width) {
        fprintf(stderr, "wlinput: the compositor offers no virtual pointer or keyboard\n");
        return 1;
    }
    c.pointer = wl_proxy_marshal_constructor(c.pointer_manager, 0, &virtual_pointer_interface,
                                             c.seat, NULL);
    c.keyboard = wl_proxy_marshal_constructor(c.keyboard_manager, 0, &virtual_keyboard_interface,
                                              c.seat, NULL);
    c.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!c.xkb || send_keymap(&c) < 0) {
        fprintf(stderr, "wlinput: no keymap\n");
        return 1;
    }
    if (wl_display_roundtrip(c.display) < 0) {
        fprintf(stderr, "wlinput: the compositor refused the devices\n");
        return 1;
    }
    printf("ready %d %d\n", c.width, c.height);
    fflush(stdout);

    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        const char *error = run(&c, line);
        if (wl_display_roundtrip(c.display) < 0) {
            printf("error connection lost\n");
            return 1;
        }
        printf(error ? "error %s\n" : "ok\n", error);
        fflush(stdout);
    }
    wl_proxy_marshal(c.pointer, POINTER_DESTROY);
    wl_proxy_marshal(c.keyboard, KEYBOARD_DESTROY);
    wl_display_roundtrip(c.display);
    xkb_state_unref(c.state);
    xkb_keymap_unref(c.keymap);
    xkb_context_unref(c.xkb);
    wl_display_disconnect(c.display);
    return 0;
}
