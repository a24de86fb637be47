"""Converts a P5 grey picture to one bit a pixel with the imaging library's default
Floyd-Steinberg dithering and prints it as rows of '#' (white) and '.' (black)."""
import sys

from PIL import Image

image = Image.open(sys.argv[1]).convert("L").convert("1")
width, height = image.size
pixels = image.load()
for y in range(height):
    print("".join("#" if pixels[x, y] else "." for x in range(width)))
