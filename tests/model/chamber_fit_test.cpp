#include "model/chamber_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

// V = 1 m³, N = 1 /h, A = 0.4 m², and its peak for R0 = 2, k = 0.2 (C = e^(−0.2t) − e^(−t)).
ChamberDataRecord Chamber() {
  return {1, 1, 0.4f, 0.534992f, 2.011797f};
}

// 48 points at t = 0.5 .. 24 h of that model, each times 1 + noise·(−1)^i.
ChamberDataRecord Measured(double noise) {
  ChamberDataRecord r = Chamber();
  r.NumPoints = 48;
  for (int i = 1; i <= 48; ++i) {
    const double t = 0.5 * i;
    r.Times[i] = static_cast<float>(t);
    r.Concs[i] =
        static_cast<float>((std::exp(-0.2 * t) - std::exp(-t)) * (1 + noise * (i % 2 ? -1 : 1)));
  }
  return r;
}

struct Fit : ChamberFitProgress {
  float r0 = 0, k = 0;
  bool stopped = false;
  double sum = 0;
  std::vector<int> iterations;
  testing::ScriptedPrompt prompt;
  void ShowIteration(int iteration) override { iterations.push_back(iteration); }
  void ShowR0(float) override {}
  void ShowK(float) override {}

  // As the window runs it: estimates unless a start R0 is given, predict, fit, sum.
  Fit& Run(const ChamberDataRecord& r, int limit = kChamberFitIterations) {
    if (r0 == 0) {
      const R0k start = EstimateR0k(r);
      r0 = start.r0;
      k = start.k;
    }
    ChamberPoints predicted{}, residuals{};
    PredictChamberConcentration(r0, k, r, predicted);
    stopped = FitR0k(r0, k, r, predicted, *this, prompt, limit);
    PredictChamberConcentration(r0, k, r, predicted);
    sum = SumSquaredResiduals(r, predicted, residuals);
    return *this;
  }
};

double Sum(const ChamberDataRecord& r, double r0, double k) {
  double s = 0;
  for (int i = 1; i <= r.NumPoints; ++i) {
    s += std::pow(r.Concs[i] - ChamberConcentration(r0, k, r, r.Times[i]), 2);
  }
  return s;
}

// The test grid: hourly points from 1 h of a chamber of V = 1 m³ and A = 0.4 m² with R0 = 5
// mg/m²/h, over air changes, decay rates and numbers of points. Each case holds the R0 and k
// that scipy's Levenberg–Marquardt least squares (tests/model/chamber_fit_reference.py) found
// for the exact points, then for the same points with 5% noise (seed 61, four digits), and
// those noisy points. Where the noisy points ask for a k below 0 no fit of this model exists.
struct GridCase {
  float air_change, k, exact_r0, exact_k, noisy_r0, noisy_k;
  std::vector<float> noisy;
};

// clang-format off
const GridCase kGrid[] = {
    {0.5f, 0.01f, 5.f, 0.009999988f, 4.825778f, 0.005441647f,
     {1.521f, 2.367f, 3.212f, 3.179f, 3.232f, 3.76f}},
    {0.5f, 0.01f, 5.f, 0.01f, 5.076152f, 0.008921502f,
     {1.631f, 2.381f, 2.964f, 3.837f, 3.367f, 3.549f, 3.899f, 3.831f, 3.982f, 3.816f, 3.566f,
      3.631f}},
    {0.5f, 0.01f, 5.f, 0.01f, 4.900697f, 0.009120889f,
     {1.522f, 2.6f, 3.128f, 3.162f, 3.633f, 3.492f, 3.696f, 3.623f, 3.737f, 3.19f, 3.721f, 3.353f,
      3.788f, 3.335f, 3.42f, 3.353f, 3.487f, 3.589f, 3.411f, 3.338f, 3.336f, 3.258f, 3.252f,
      3.092f, 3.157f, 3.379f, 3.29f, 2.822f, 3.022f, 3.055f}},
    {0.5f, 0.05f, 5.f, 0.05f, 4.906315f, 0.03664535f,
     {1.492f, 2.309f, 2.828f, 3.192f, 3.264f, 3.081f}},
    {0.5f, 0.05f, 5.f, 0.05f, 4.860087f, 0.04203168f,
     {1.598f, 2.377f, 2.892f, 3.008f, 2.862f, 2.969f, 3.058f, 3.07f, 2.834f, 2.946f, 2.667f,
      2.438f}},
    {0.5f, 0.05f, 5.f, 0.05f, 5.001476f, 0.04968244f,
     {1.5f, 2.661f, 2.806f, 2.87f, 3.162f, 2.989f, 3.092f, 2.676f, 2.914f, 2.801f, 2.502f, 2.312f,
      2.331f, 2.334f, 2.036f, 1.978f, 2.012f, 1.862f, 1.709f, 1.664f, 1.57f, 1.449f, 1.398f,
      1.16f, 1.282f, 1.265f, 1.192f, 1.073f, 1.13f, 1.06f}},
    {0.5f, 0.2f, 5.f, 0.2f, 4.723659f, 0.174506f,
     {1.356f, 2.014f, 2.124f, 2.007f, 2.006f, 1.762f}},
    {0.5f, 0.2f, 5.f, 0.2f, 5.023088f, 0.200462f,
     {1.367f, 2.002f, 2.217f, 2.062f, 1.999f, 1.706f, 1.469f, 1.131f, 1.091f, 0.7603f, 0.709f,
      0.6209f}},
    {0.5f, 0.2f, 5.f, 0.2f, 4.890262f, 0.1959883f,
     {1.422f, 1.937f, 2.123f, 1.961f, 2.024f, 1.711f, 1.376f, 1.334f, 1.f, 0.874f, 0.6458f,
      0.5863f, 0.5006f, 0.4015f, 0.315f, 0.2837f, 0.2092f, 0.1937f, 0.1473f, 0.1214f, 0.1016f,
      0.08345f, 0.07364f, 0.05534f, 0.04139f, 0.03742f, 0.02864f, 0.02407f, 0.01972f, 0.0166f}},
    {0.5f, 1.f, 5.f, 1.f, 5.561294f, 1.11484f,
     {1.013f, 0.9339f, 0.678f, 0.4481f, 0.2892f, 0.1847f}},
    {0.5f, 1.f, 5.f, 1.f, 5.13329f, 1.026031f,
     {0.9642f, 0.9347f, 0.7203f, 0.4175f, 0.3125f, 0.1955f, 0.1034f, 0.07595f, 0.04392f, 0.02484f,
      0.01653f, 0.009282f}},
    {0.5f, 1.f, 5.f, 1.f, 4.937807f, 0.96512f,
     {0.9442f, 0.956f, 0.7315f, 0.4916f, 0.2983f, 0.1683f, 0.113f, 0.07288f, 0.0456f, 0.02693f,
      0.01539f, 0.00969f, 0.005668f, 0.003631f, 0.002007f, 0.001334f, 0.0008449f, 0.0004656f,
      0.0003162f, 0.0001588f, 0.0001135f, 6.263e-05f, 3.98e-05f, 2.492e-05f, 1.537e-05f,
      8.218e-06f, 5.539e-06f, 3.026e-06f, 2.028e-06f, 1.204e-06f}},
    {1.f, 0.01f, 5.f, 0.009999997f, 4.730715f, -0.003365565f,
     {1.276f, 1.615f, 1.827f, 1.788f, 1.907f, 1.966f}},
    {1.f, 0.01f, 5.f, 0.01f, 5.199725f, 0.01379385f,
     {1.291f, 1.687f, 1.962f, 1.952f, 2.023f, 1.931f, 1.851f, 1.908f, 1.952f, 1.807f, 1.84f,
      1.719f}},
    {1.f, 0.01f, 5.f, 0.01f, 4.934488f, 0.009790445f,
     {1.322f, 1.65f, 1.68f, 1.984f, 1.776f, 2.025f, 1.817f, 1.742f, 1.753f, 1.885f, 1.76f, 1.852f,
      1.679f, 1.832f, 1.749f, 1.73f, 1.991f, 1.574f, 1.739f, 1.522f, 1.604f, 1.532f, 1.556f,
      1.592f, 1.473f, 1.601f, 1.47f, 1.591f, 1.46f, 1.481f}},
    {1.f, 0.05f, 5.f, 0.05f, 5.209259f, 0.05352356f,
     {1.229f, 1.604f, 1.792f, 1.939f, 1.625f, 1.507f}},
    {1.f, 0.05f, 5.f, 0.05f, 5.101003f, 0.05188243f,
     {1.23f, 1.655f, 1.662f, 1.905f, 1.535f, 1.58f, 1.389f, 1.472f, 1.448f, 1.245f, 1.23f, 1.117f}},
    {1.f, 0.05f, 5.f, 0.05f, 5.032549f, 0.05065522f,
     {1.326f, 1.672f, 1.712f, 1.67f, 1.694f, 1.513f, 1.492f, 1.299f, 1.338f, 1.311f, 1.148f,
      1.203f, 1.041f, 0.9968f, 0.9616f, 0.9708f, 0.8975f, 0.9143f, 0.6987f, 0.7593f, 0.7892f,
      0.6756f, 0.7165f, 0.6262f, 0.6856f, 0.512f, 0.5817f, 0.5603f, 0.5257f, 0.434f}},
    {1.f, 0.2f, 5.f, 0.2f, 4.797515f, 0.1796565f,
     {1.191f, 1.187f, 1.259f, 1.15f, 0.9478f, 0.7688f}},
    {1.f, 0.2f, 5.f, 0.2f, 4.991191f, 0.2046781f,
     {1.165f, 1.385f, 1.159f, 0.9782f, 0.9067f, 0.7446f, 0.5999f, 0.5005f, 0.423f, 0.3348f,
      0.2636f, 0.2291f}},
    {1.f, 0.2f, 5.f, 0.2f, 4.939296f, 0.1972776f,
     {1.124f, 1.311f, 1.266f, 1.033f, 0.91f, 0.7592f, 0.622f, 0.5008f, 0.4129f, 0.3466f, 0.303f,
      0.241f, 0.1795f, 0.1524f, 0.1088f, 0.09895f, 0.08223f, 0.07018f, 0.05655f, 0.04869f,
      0.03772f, 0.03149f, 0.0235f, 0.02032f, 0.01626f, 0.01445f, 0.01058f, 0.008556f, 0.007124f,
      0.006155f}},
    {1.f, 1.f, 5.f, 1.f, 4.728835f, 0.926725f,
     {0.716f, 0.5569f, 0.3324f, 0.1446f, 0.0632f, 0.0298f}},
    {1.f, 1.f, 5.f, 1.f, 5.220817f, 0.9951076f,
     {0.7622f, 0.5904f, 0.2904f, 0.1621f, 0.06827f, 0.02933f, 0.01292f, 0.005382f, 0.002227f,
      0.000843f, 0.0003556f, 0.0001355f}},
    {1.f, 1.f, 5.f, 1.f, 4.926331f, 0.9955858f,
     {0.7305f, 0.5239f, 0.3088f, 0.1456f, 0.06373f, 0.02878f, 0.0126f, 0.005216f, 0.00236f,
      0.0008633f, 0.0003482f, 0.0001469f, 5.529e-05f, 2.345e-05f, 8.986e-06f, 3.6e-06f,
      1.392e-06f, 5.575e-07f, 2.073e-07f, 8.369e-08f, 3.069e-08f, 1.165e-08f, 4.766e-09f,
      1.9e-09f, 6.691e-10f, 2.562e-10f, 9.694e-11f, 3.86e-11f, 1.409e-11f, 5.609e-12f}},
    {2.f, 0.01f, 5.f, 0.01000001f, 5.015652f, 0.005626645f,
     {0.8421f, 1.014f, 0.9958f, 0.9454f, 0.9716f, 0.9897f}},
    {2.f, 0.01f, 5.f, 0.01f, 5.288113f, 0.01730834f,
     {0.9162f, 1.04f, 0.9373f, 0.9842f, 0.9564f, 1.036f, 1.001f, 0.8964f, 0.8988f, 0.8869f,
      0.8536f, 0.8886f}},
    {2.f, 0.01f, 5.f, 0.01f, 4.819064f, 0.008954234f,
     {0.8228f, 0.899f, 0.9436f, 0.9327f, 0.8526f, 0.8835f, 0.9155f, 0.878f, 0.9754f, 0.955f,
      0.8642f, 0.92f, 0.8836f, 0.7779f, 0.8387f, 0.895f, 0.8423f, 0.8258f, 0.8639f, 0.8493f,
      0.8398f, 0.7671f, 0.7895f, 0.7749f, 0.7542f, 0.7015f, 0.7354f, 0.7557f, 0.6465f, 0.8192f}},
    {2.f, 0.05f, 5.f, 0.05000001f, 5.216934f, 0.05217684f,
     {0.8644f, 0.954f, 0.9469f, 0.8476f, 0.7598f, 0.8354f}},
    {2.f, 0.05f, 5.f, 0.05f, 5.190362f, 0.05512421f,
     {0.8102f, 0.9963f, 0.9383f, 0.8082f, 0.8373f, 0.7314f, 0.7406f, 0.6697f, 0.6701f, 0.5919f,
      0.5638f, 0.5845f}},
    {2.f, 0.05f, 5.f, 0.05f, 4.692024f, 0.04695533f,
     {0.7401f, 0.9123f, 0.8042f, 0.8051f, 0.6962f, 0.7369f, 0.731f, 0.653f, 0.6546f, 0.6435f,
      0.5708f, 0.5425f, 0.5211f, 0.491f, 0.4713f, 0.438f, 0.4585f, 0.406f, 0.3864f, 0.3692f,
      0.3623f, 0.3729f, 0.3167f, 0.3046f, 0.2833f, 0.274f, 0.2723f, 0.2551f, 0.2359f, 0.2273f}},
    {2.f, 0.2f, 5.f, 0.2f, 4.952018f, 0.2054373f,
     {0.7622f, 0.7025f, 0.572f, 0.4936f, 0.4178f, 0.3105f}},
    {2.f, 0.2f, 5.f, 0.2f, 5.221719f, 0.2086408f,
     {0.8043f, 0.736f, 0.5977f, 0.5248f, 0.4117f, 0.3353f, 0.2714f, 0.2084f, 0.1792f, 0.138f,
      0.1302f, 0.1047f}},
    {2.f, 0.2f, 5.f, 0.2f, 5.262902f, 0.2061568f,
     {0.7993f, 0.7752f, 0.6209f, 0.4692f, 0.4319f, 0.3394f, 0.279f, 0.2413f, 0.1946f, 0.1501f,
      0.1193f, 0.09947f, 0.07283f, 0.06459f, 0.05835f, 0.0422f, 0.03705f, 0.03135f, 0.02541f,
      0.02093f, 0.01685f, 0.01415f, 0.01166f, 0.009004f, 0.007707f, 0.006194f, 0.005173f,
      0.004143f, 0.003467f, 0.002746f}},
    {2.f, 1.f, 5.f, 1.f, 4.748209f, 0.9671387f,
     {0.4493f, 0.2353f, 0.09305f, 0.03815f, 0.01343f, 0.005417f}},
    {2.f, 1.f, 5.f, 1.f, 4.891034f, 0.9724526f,
     {0.4588f, 0.2498f, 0.08542f, 0.03729f, 0.01357f, 0.004892f, 0.001936f, 0.000646f, 0.000268f,
      9.049e-05f, 3.345e-05f, 1.161e-05f}},
    {2.f, 1.f, 5.f, 1.f, 5.172186f, 1.030067f,
     {0.474f, 0.2286f, 0.09509f, 0.03584f, 0.01357f, 0.004663f, 0.00177f, 0.000671f, 0.0002489f,
      8.823e-05f, 3.25e-05f, 1.193e-05f, 4.314e-06f, 1.711e-06f, 6.515e-07f, 2.211e-07f,
      8.219e-08f, 2.63e-08f, 1.198e-08f, 4.209e-09f, 1.338e-09f, 6.002e-10f, 2.066e-10f,
      7.502e-11f, 2.547e-11f, 1.008e-11f, 3.339e-12f, 1.369e-12f, 5.356e-13f, 1.831e-13f}},
    {4.f, 0.01f, 5.f, 0.01f, 4.612847f, -0.01116758f,
     {0.4418f, 0.5118f, 0.4473f, 0.4826f, 0.4757f, 0.5025f}},
    {4.f, 0.01f, 5.f, 0.009999997f, 4.891262f, 0.01051844f,
     {0.4874f, 0.501f, 0.441f, 0.4785f, 0.4652f, 0.4277f, 0.4738f, 0.474f, 0.4254f, 0.4258f,
      0.4491f, 0.4419f}},
    {4.f, 0.01f, 5.f, 0.01f, 4.892796f, 0.009716111f,
     {0.5035f, 0.4471f, 0.4586f, 0.4916f, 0.4366f, 0.4275f, 0.4769f, 0.4485f, 0.4926f, 0.4366f,
      0.4563f, 0.4447f, 0.4466f, 0.4492f, 0.448f, 0.4021f, 0.4333f, 0.385f, 0.3803f, 0.3966f,
      0.3883f, 0.4246f, 0.4174f, 0.3753f, 0.3635f, 0.373f, 0.3818f, 0.3752f, 0.3687f, 0.3634f}},
    {4.f, 0.05f, 5.f, 0.05f, 4.796542f, 0.04063145f,
     {0.4535f, 0.4365f, 0.4547f, 0.4144f, 0.3688f, 0.3911f}},
    {4.f, 0.05f, 5.f, 0.05f, 4.770315f, 0.04347988f,
     {0.4688f, 0.4083f, 0.428f, 0.4326f, 0.3966f, 0.3604f, 0.3426f, 0.318f, 0.3448f, 0.3133f,
      0.2987f, 0.2912f}},
    {4.f, 0.05f, 5.f, 0.05f, 4.822329f, 0.04750496f,
     {0.4518f, 0.4246f, 0.4177f, 0.4161f, 0.3799f, 0.3819f, 0.3455f, 0.3344f, 0.3402f, 0.3028f,
      0.2961f, 0.2862f, 0.2525f, 0.2411f, 0.2429f, 0.2555f, 0.1959f, 0.2031f, 0.1998f, 0.1928f,
      0.1859f, 0.169f, 0.1746f, 0.1462f, 0.1426f, 0.1294f, 0.1252f, 0.1296f, 0.1305f, 0.1088f}},
    {4.f, 0.2f, 5.f, 0.2f, 5.107039f, 0.1997661f,
     {0.435f, 0.3592f, 0.2874f, 0.2345f, 0.2087f, 0.1643f}},
    {4.f, 0.2f, 5.f, 0.2f, 5.214023f, 0.2031062f,
     {0.4421f, 0.3681f, 0.296f, 0.2301f, 0.1955f, 0.164f, 0.1483f, 0.109f, 0.08363f, 0.07352f,
      0.06223f, 0.04671f}},
    {4.f, 0.2f, 5.f, 0.2f, 4.843128f, 0.195768f,
     {0.3954f, 0.3741f, 0.2664f, 0.225f, 0.1945f, 0.1727f, 0.1277f, 0.1042f, 0.08493f, 0.07068f,
      0.05869f, 0.04419f, 0.0372f, 0.03322f, 0.02634f, 0.02283f, 0.01817f, 0.01444f, 0.01167f,
      0.009562f, 0.008135f, 0.006559f, 0.005193f, 0.004594f, 0.003506f, 0.002999f, 0.002336f,
      0.002057f, 0.001572f, 0.001314f}},
    {4.f, 1.f, 5.f, 1.f, 5.040632f, 1.046052f,
     {0.2281f, 0.08002f, 0.03425f, 0.01147f, 0.004757f, 0.001665f}},
    {4.f, 1.f, 5.f, 1.f, 5.26999f, 1.009309f,
     {0.2438f, 0.09427f, 0.0333f, 0.01186f, 0.004431f, 0.001626f, 0.0006185f, 0.0002194f,
      8.778e-05f, 3.066e-05f, 1.112e-05f, 4.368e-06f}},
    {4.f, 1.f, 5.f, 1.f, 5.36793f, 1.036407f,
     {0.2439f, 0.09023f, 0.03268f, 0.01225f, 0.004666f, 0.001712f, 0.0006333f, 0.0002416f,
      8.718e-05f, 2.692e-05f, 1.184e-05f, 4.102e-06f, 1.55e-06f, 5.271e-07f, 2.196e-07f,
      6.484e-08f, 2.667e-08f, 9.973e-09f, 3.747e-09f, 1.242e-09f, 5.128e-10f, 1.91e-10f,
      6.97e-11f, 2.158e-11f, 9.021e-12f, 3.435e-12f, 1.305e-12f, 4.661e-13f, 1.825e-13f,
      6.198e-14f}},
};
// clang-format on

ChamberDataRecord GridChamber(const GridCase& c, bool noisy) {
  ChamberDataRecord r{1, c.air_change, 0.4f};  // no estimated peak: the fit starts from the data
  r.NumPoints = static_cast<int16_t>(c.noisy.size());
  for (int i = 1; i <= r.NumPoints; ++i) {
    const double t = i, n = c.air_change, k = c.k;
    const double shape =
        n == k ? t * std::exp(-n * t) : (std::exp(-k * t) - std::exp(-n * t)) / (n - k);
    r.Times[i] = static_cast<float>(t);
    r.Concs[i] = noisy ? c.noisy[i - 1] : static_cast<float>(5 * 0.4 * shape);
  }
  return r;
}

TEST(ChamberFit, StartValuesComeFromThePeak) {
  for (const auto& [n, peak, k] : {std::tuple{1.0f, 2.0f, 0.292271f},
                                   {1.0f, 5.0f, 0.01001f},
                                   {1.0f, 0.2f, 10.001f},
                                   {0.5f, 3.0f, 0.302277f},
                                   {20.0f, 2.0f, 0.01001f}}) {
    EXPECT_NEAR(EstimateDecayRate(n, peak), k, 1e-5 * k) << n << " " << peak;
  }
  EXPECT_EQ(EstimateDecayRate(0.5001f, 2), 0.5001f);  // an axis row as it is: k = N
  const R0k start = EstimateR0k(Chamber());
  EXPECT_NEAR(start.k, 0.288243, 1e-5 * 0.288243);
  EXPECT_NEAR(start.r0, 2.233530, 1e-5 * 2.233530);
}

TEST(ChamberFit, RecoversTheModelThatMadeThePoints) {
  Fit fit;
  fit.Run(Measured(0));
  EXPECT_FALSE(fit.stopped);
  EXPECT_TRUE(fit.prompt.shown.empty());
  EXPECT_LE(fit.iterations.size(), 10u);
  EXPECT_NEAR(fit.r0, 2, 2e-5);
  EXPECT_NEAR(fit.k, 0.2, 2e-6);

  // Points the start values already meet end the fit in its first iteration.
  ChamberDataRecord met = Measured(0);
  for (int i = 1; i <= 48; ++i)
    met.Concs[i] = static_cast<float>(ChamberConcentration(2.5, 0.3f, met, met.Times[i]));
  Fit at_once;
  at_once.r0 = 2.5f;
  at_once.k = 0.3f;
  at_once.Run(met);
  EXPECT_EQ(at_once.iterations, std::vector<int>{1});
  EXPECT_NEAR(at_once.r0, 2.5, 2.5e-6);
  EXPECT_NEAR(at_once.k, 0.3, 0.3e-6);
}

TEST(ChamberFit, MeetsAnIndependentLeastSquaresFitOverTheGrid) {
  for (const GridCase& c : kGrid) {
    for (const bool noisy : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "N " << c.air_change << ", k " << c.k << ", "
                                        << c.noisy.size() << " points" << (noisy ? ", noisy" : ""));
      const float r0 = noisy ? c.noisy_r0 : c.exact_r0, k = noisy ? c.noisy_k : c.exact_k;
      Fit fit;
      fit.Run(GridChamber(c, noisy));
      if (k < 0) {
        // Nothing is handed back that could pass for a fit.
        EXPECT_TRUE(fit.stopped);
        ASSERT_EQ(fit.prompt.shown.size(), 1u);
        EXPECT_EQ(fit.prompt.shown[0].text,
                  "Error.  Cannot calculate R0,k. Revise estimates and recalc.");
        EXPECT_EQ(fit.r0 + fit.k, 0.0f);
        continue;
      }
      EXPECT_FALSE(fit.stopped);
      EXPECT_TRUE(fit.prompt.shown.empty());
      EXPECT_NEAR(fit.r0, r0, 1e-4 * r0);
      EXPECT_NEAR(fit.k, k, 1e-4 * k);
    }
  }
}

TEST(ChamberFit, FindsTheLeastSquaresOfNoisyPoints) {
  const ChamberDataRecord r = Measured(0.05);
  Fit fit;
  fit.Run(r);
  EXPECT_FALSE(fit.stopped);
  EXPECT_NEAR(fit.r0, 1.998981, 1e-4 * 1.998981);
  EXPECT_NEAR(fit.k, 0.199892, 1e-4 * 0.199892);
  EXPECT_NEAR(fit.sum, 0.0066637, 1e-4 * 0.0066637);
  EXPECT_NEAR(Sum(r, 2, 0.2), 0.0066640, 1e-4 * 0.0066640);
  // A minimum, below the generating values: a step of 1e-4 of either parameter raises S.
  for (const auto& [by_r0, by_k] :
       {std::pair{1.0001, 1.0}, {0.9999, 1.0}, {1.0, 1.0001}, {1.0, 0.9999}}) {
    EXPECT_GT(Sum(r, fit.r0 * by_r0, fit.k * by_k), fit.sum) << by_r0 << " " << by_k;
  }
  EXPECT_LT(fit.sum, Sum(r, 2, 0.2));

  Fit limited;
  limited.Run(r, 2);
  EXPECT_TRUE(limited.stopped);
  ASSERT_EQ(limited.prompt.shown.size(), 1u);
  EXPECT_EQ(limited.prompt.shown[0].text, "Error.  Failed to converge.");
  EXPECT_EQ(limited.iterations, (std::vector<int>{1, 2}));
  EXPECT_EQ(limited.r0 + limited.k, 0.0f) << "an unfinished fit is no result";
}

TEST(ChamberFit, GradientMatchesCentralDifferencesUpToAndAtKEqualN) {
  const ChamberDataRecord r = Chamber();
  const double h = 1e-5;
  for (const double k : {0.2, 1 - 1e-7, 1.0}) {
    for (const double t : {0.5, 2.0, 10.0}) {
      const auto g = ChamberModelGradient(2, k, t, r);
      const double by_k =
          (ChamberConcentration(2, k + h, r, t) - ChamberConcentration(2, k - h, r, t)) / (2 * h);
      EXPECT_NEAR(g[1], by_k, 1e-5 * std::fabs(by_k)) << k << " " << t;
      EXPECT_DOUBLE_EQ(g[0], ChamberConcentration(2, k, r, t) / 2);
    }
  }
  // At k = N the model is its limit R0·(A/V)·t·e^(−N·t); by R0 it is defined at R0 = 0 too.
  const double area = 0.4f;
  EXPECT_DOUBLE_EQ(ChamberConcentration(2, 1, r, 2), 2 * area * 2 * std::exp(-2.0));
  EXPECT_DOUBLE_EQ(ChamberModelGradient(0, 1, 2, r)[0], area * 2 * std::exp(-2.0));
}

TEST(ChamberFit, ReportsDataItCannotFit) {
  ChamberDataRecord rising{1, 1, 1, 1, 10, 10};  // C = 0.1·t drives k below 0
  for (int i = 1; i <= 10; ++i) {
    rising.Times[i] = static_cast<float>(i);
    rising.Concs[i] = 0.1f * static_cast<float>(i);
  }
  ChamberDataRecord at_zero = Chamber();  // points at t = 0 say nothing of R0 or k
  at_zero.NumPoints = 2;
  at_zero.Concs = {0, 0.1f, 0.1f};
  for (const auto& [record, r0, k, message] :
       {std::tuple{rising, 0.0f, 0.0f,
                   "Error.  Cannot calculate R0,k. Revise estimates and recalc."},
        {at_zero, 1.0f, 0.5f, "Error. Revise esitmates and run again."}}) {
    Fit fit;
    fit.r0 = r0;
    fit.k = k;
    fit.Run(record);
    EXPECT_TRUE(fit.stopped);
    ASSERT_EQ(fit.prompt.shown.size(), 1u);
    EXPECT_EQ(fit.prompt.shown[0].text, message);
    EXPECT_EQ(fit.prompt.shown[0].title, "Error");
    EXPECT_EQ(fit.r0 + fit.k, 0.0f);
  }
}

TEST(ChamberFit, ChecksRefuseWhatTheFitCannotUse) {
  ChamberDataRecord good = Measured(0), unventilated = good, one_point = good, no_peak = good;
  unventilated.AirChangeRate = 0;
  one_point.NumPoints = 1;
  no_peak.PeakConc = 0;
  ChamberDataRecord nothing_measured = no_peak;
  nothing_measured.Concs.fill(0);
  for (const auto& [record, estimated, message] :
       {std::tuple{
            unventilated, false,
            "Error.  Chamber volume, air exchange rate and source area must be greater than 0."},
        {one_point, false, "Error.  At least two time and concentration points are needed."},
        {nothing_measured, true,
         "Error.  Enter the estimated peak concentration and time, or a start value of R0."},
        {no_peak, true, ""},  // the start values go through the highest measured point
        {good, true, ""}}) {
    testing::ScriptedPrompt prompt;
    EXPECT_EQ(CheckChamberData(record, estimated, prompt), *message == '\0');
    ASSERT_EQ(prompt.shown.size(), *message == '\0' ? 0u : 1u);
    for (const auto& shown : prompt.shown) EXPECT_EQ(shown.text, message);
  }
}

}  // namespace
}  // namespace quarn
