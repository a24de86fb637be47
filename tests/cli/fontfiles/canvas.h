/* A 1-bit canvas both drawing programs share, printed as rows of '#' and '.'. */
#define CANVAS_W 400
#define CANVAS_H 48
#define CANVAS_LEFT 2
#define CANVAS_BASELINE 32

static unsigned char canvas[CANVAS_H][CANVAS_W];

static void canvas_set(int x, int y) {
    if (x >= 0 && y >= 0 && x < CANVAS_W && y < CANVAS_H)
        canvas[y][x] = 1;
}

static void canvas_print(void) {
    for (int y = 0; y < CANVAS_H; ++y) {
        for (int x = 0; x < CANVAS_W; ++x)
            putchar(canvas[y][x] ? '#' : '.');
        putchar('\n');
    }
}
