// varnolux-bench-opencv: the nearest plain OpenCV program to one varnolux-batch run,
// timed as a whole process by scripts/bench-process. It reads the file once, takes the
// SHA-256 of its bytes, decodes them, converts to HSV, selects the range (the hue may
// wrap through red), labels 8-connected regions and counts those of at least the
// minimum size.
//
//   varnolux-bench-opencv IMAGE HMIN HMAX SMIN SMAX VMIN VMAX MINSIZE

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <openssl/sha.h>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 9) {
        std::fprintf(stderr, "usage: %s IMAGE HMIN HMAX SMIN SMAX VMIN VMAX MINSIZE\n", argv[0]);
        return 2;
    }
    int limits[7];
    for (int i = 0; i < 7; ++i)
        limits[i] = std::atoi(argv[2 + i]);
    const auto [hMin, hMax, sMin, sMax, vMin, vMax, minSize] = limits;

    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    if (!file || bytes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(bytes.data(), bytes.size(), digest);

    const cv::Mat image = cv::imdecode(bytes, cv::IMREAD_COLOR);
    if (image.empty()) {
        std::fprintf(stderr, "cannot decode %s\n", argv[1]);
        return 1;
    }
    cv::Mat hsv;
    cv::cvtColor(image, hsv, cv::COLOR_BGR2HSV_FULL);
    cv::Mat selected;
    if (hMin <= hMax) {
        cv::inRange(hsv, cv::Scalar(hMin, sMin, vMin), cv::Scalar(hMax, sMax, vMax), selected);
    } else {
        cv::Mat upper;
        cv::inRange(hsv, cv::Scalar(hMin, sMin, vMin), cv::Scalar(255, sMax, vMax), upper);
        cv::inRange(hsv, cv::Scalar(0, sMin, vMin), cv::Scalar(hMax, sMax, vMax), selected);
        selected |= upper;
    }
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(selected, labels, stats, centroids, 8);
    int kept = 0;
    long long area = 0;
    for (int label = 1; label < count; ++label) {
        const int pixels = stats.at<int>(label, cv::CC_STAT_AREA);
        if (pixels >= minSize) {
            ++kept;
            area += pixels;
        }
    }
    std::printf("%02x%02x%02x%02x...\t%d regions\t%lld pixels\n", digest[0], digest[1], digest[2],
                digest[3], kept, area);
    return 0;
}
