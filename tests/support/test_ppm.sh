# test_ppm.sh — sourced by test scripts that make camera pictures: a picture
# with gradients and edges, as a plain-text PPM for cjpeg.
make_ppm() {  # width height seed
  awk -v w="$1" -v h="$2" -v s="$3" 'BEGIN {
    printf "P3\n%d %d\n255\n", w, h
    for (y = 0; y < h; y++) {
      line = ""
      for (x = 0; x < w; x++) {
        r = int(x * 255 / w); g = int(y * 255 / h); b = (x * y + s) % 256
        if ((int(x / 13) + int(y / 11)) % 4 == 0) { r = 255 - r; b = 255 - b }
        line = line r " " g " " b " "
      }
      print line
    }
  }'
}
