#!/usr/bin/perl
# Draws the program's icon, a lit presentation screen on a blue tile, and writes
# it as a Windows .ico with one 32 pixel image of 32-bit colour with alpha.
# Windows scales it for the other sizes: each image costs the 48 KiB presenter
# 4 bytes a pixel (a 16 pixel one 1.1 KiB, a 48 pixel one 9.4 KiB).
#   icon.pl OUT.ico
# Shapes are given on a unit square and sampled 4 by 4 times a pixel, so the
# edges are smooth at every size.
use strict;
use warnings;

@ARGV == 1 or die "usage: icon.pl OUT.ico\n";
my ($out) = @ARGV;

# Coverage of a rectangle with rounded corners at a point of the unit square.
sub in_rounded {
    my ($x, $y, $left, $top, $right, $bottom, $radius) = @_;
    return 0 if $x < $left || $x > $right || $y < $top || $y > $bottom;
    my $cx = $x < $left + $radius ? $left + $radius : $x > $right - $radius ? $right - $radius : $x;
    my $cy = $y < $top + $radius ? $top + $radius : $y > $bottom - $radius ? $bottom - $radius : $y;
    return ($x - $cx) ** 2 + ($y - $cy) ** 2 <= $radius ** 2;
}

sub in_disc {
    my ($x, $y, $cx, $cy, $radius) = @_;
    return ($x - $cx) ** 2 + ($y - $cy) ** 2 <= $radius ** 2;
}

# The colour (r, g, b, a from 0 to 1) at a point: the topmost shape that covers it.
sub colour_at {
    my ($x, $y) = @_;
    return (0.97, 0.72, 0.20, 1) if in_disc($x, $y, 0.5, 0.43, 0.12);
    return (0.96, 0.97, 0.99, 1) if in_rounded($x, $y, 0.17, 0.21, 0.83, 0.65, 0.03);
    return (0.85, 0.89, 0.96, 1) if in_rounded($x, $y, 0.46, 0.64, 0.54, 0.80, 0.01);
    return (0.85, 0.89, 0.96, 1) if in_rounded($x, $y, 0.32, 0.77, 0.68, 0.84, 0.03);
    if (in_rounded($x, $y, 0.03, 0.03, 0.97, 0.97, 0.18)) {
        my $t = $y; # from a lighter blue at the top to a deep one at the bottom
        return (0.24 - 0.14 * $t, 0.40 - 0.22 * $t, 0.74 - 0.36 * $t, 1);
    }
    return (0, 0, 0, 0);
}

# One image: the header, the colour rows bottom up (B, G, R, A) and the mask.
sub image {
    my ($size) = @_;
    my $samples = 4;
    my $pixels = "";
    my $mask = "";
    my $mask_row_bytes = int(($size + 31) / 32) * 4;
    for (my $row = $size - 1; $row >= 0; $row--) {
        my @mask_bits = (0) x ($mask_row_bytes * 8);
        for my $column (0 .. $size - 1) {
            my ($r, $g, $b, $a) = (0, 0, 0, 0);
            for my $sy (0 .. $samples - 1) {
                for my $sx (0 .. $samples - 1) {
                    my @c = colour_at(($column + ($sx + 0.5) / $samples) / $size,
                                      ($row + ($sy + 0.5) / $samples) / $size);
                    $r += $c[0] * $c[3];
                    $g += $c[1] * $c[3];
                    $b += $c[2] * $c[3];
                    $a += $c[3];
                }
            }
            my $n = $samples * $samples;
            my $alpha = $a / $n;
            # The colours are kept straight, not multiplied by alpha.
            my @rgb = $a > 0 ? ($r / $a, $g / $a, $b / $a) : (0, 0, 0);
            $pixels .= pack("C4", map { int($_ * 255 + 0.5) } $rgb[2], $rgb[1], $rgb[0], $alpha);
            $mask_bits[$column] = $alpha == 0 ? 1 : 0;
        }
        $mask .= pack("B*", join("", @mask_bits));
    }
    my $header = pack("V l l v v V V l l V V", 40, $size, 2 * $size, 1, 32, 0,
                      length($pixels) + length($mask), 0, 0, 0, 0);
    return $header . $pixels . $mask;
}

my @sizes = (32);
my @images = map { image($_) } @sizes;
my $bytes = pack("v v v", 0, 1, scalar @sizes);
my $offset = 6 + 16 * @sizes;
for my $i (0 .. $#sizes) {
    $bytes .= pack("C C C C v v V V", $sizes[$i], $sizes[$i], 0, 0, 1, 32,
                   length($images[$i]), $offset);
    $offset += length($images[$i]);
}
$bytes .= join("", @images);
open(my $file, ">:raw", $out) or die "icon.pl: cannot write $out\n";
print $file $bytes;
close $file or die "icon.pl: cannot write $out\n";
